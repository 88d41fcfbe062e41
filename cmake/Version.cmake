# Two versions, each defined once in the top-level CMakeLists.txt:
# - the release's, project(VERSION): the zip and .deb names, the tool's --version, README.txt, the
#   change log's section;
# - the component's, ORVACCT_COMPONENT_VERSION: the DLL's version resource, the assemblies'
#   version, the version line of the component's own log records on every platform.
# Everything that shows either takes it from here, through orvacct_version.h or the variables
# below.
#
# The DLL's version resource keeps the forms the component has always had: numeric
# major.minor.0.revision, and text with two digits of minor and four of revision, so 1.0.1 is
# 1.0.0.1 and "1.00.0001". The component reads major, minor and revision back from it.

if(NOT ORVACCT_COMPONENT_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "ORVACCT_COMPONENT_VERSION '${ORVACCT_COMPONENT_VERSION}' is not major.minor.revision")
endif()
set(ORVACCT_COMPONENT_VERSION_MAJOR ${CMAKE_MATCH_1})
set(ORVACCT_COMPONENT_VERSION_MINOR ${CMAKE_MATCH_2})
set(ORVACCT_COMPONENT_VERSION_REVISION ${CMAKE_MATCH_3})
if(ORVACCT_COMPONENT_VERSION_MINOR GREATER 99 OR ORVACCT_COMPONENT_VERSION_REVISION GREATER 9999)
  message(FATAL_ERROR "component version ${ORVACCT_COMPONENT_VERSION}: the version resource holds at most 2 digits of minor, 4 of revision")
endif()

# orvacct_zero_pad(out value width)
function(orvacct_zero_pad out value width)
  string(LENGTH "${value}" length)
  math(EXPR missing "${width} - ${length}")
  if(missing GREATER 0)
    string(REPEAT "0" ${missing} zeros)
  endif()
  set(${out} "${zeros}${value}" PARENT_SCOPE)
endfunction()

orvacct_zero_pad(minor_text ${ORVACCT_COMPONENT_VERSION_MINOR} 2)
orvacct_zero_pad(revision_text ${ORVACCT_COMPONENT_VERSION_REVISION} 4)
set(ORVACCT_VERSION ${PROJECT_VERSION})
set(ORVACCT_FILE_VERSION
    "${ORVACCT_COMPONENT_VERSION_MAJOR},${ORVACCT_COMPONENT_VERSION_MINOR},0,${ORVACCT_COMPONENT_VERSION_REVISION}")
set(ORVACCT_FILE_VERSION_TEXT "${ORVACCT_COMPONENT_VERSION_MAJOR}.${minor_text}.${revision_text}")
# Side-by-side assemblies are named with four numbers: the DLL's file version.
set(ORVACCT_ASSEMBLY_VERSION
    "${ORVACCT_COMPONENT_VERSION_MAJOR}.${ORVACCT_COMPONENT_VERSION_MINOR}.0.${ORVACCT_COMPONENT_VERSION_REVISION}")

set(version_folder ${PROJECT_BINARY_DIR}/version)
configure_file(${CMAKE_CURRENT_LIST_DIR}/orvacct_version.h.in ${version_folder}/orvacct_version.h @ONLY)
# For the packaging scripts, which need the number before they know a package's name.
file(WRITE ${version_folder}/VERSION "${ORVACCT_VERSION}\n")

add_library(orvacct_version INTERFACE)
target_include_directories(orvacct_version INTERFACE ${version_folder})
add_library(OrvAcct::version ALIAS orvacct_version)
