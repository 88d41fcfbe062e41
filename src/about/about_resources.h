/* Resource identifiers of the About box, shared by the DLL's resource script and the code.
   Plain preprocessor definitions: the resource compiler reads this file too. */
#ifndef ORVACCT_ABOUT_RESOURCES_H
#define ORVACCT_ABOUT_RESOURCES_H

#define ORVACCT_ABOUT_ICON 101
#define ORVACCT_ABOUT_PICTURE 102
#define ORVACCT_ABOUT_ID_PICTURE_CONTROL 1001

#endif
