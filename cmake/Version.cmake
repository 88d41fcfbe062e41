# The release's version is project(VERSION) in the top-level CMakeLists.txt and nowhere else.
# Everything that shows it (the DLL's version resource, the tool's --version, the assembly
# manifests, the package names, README.txt) takes it from here, through orvacct_version.h or the
# variables below.
#
# The DLL's version resource keeps the forms the component has always had: numeric
# major.minor.0.revision, and text with two digits of minor and four of revision, so 1.0.1 is
# 1.0.0.1 and "1.00.0001". The component reads major, minor and revision back from it.

if(PROJECT_VERSION_MINOR GREATER 99 OR PROJECT_VERSION_PATCH GREATER 9999)
  message(FATAL_ERROR "version ${PROJECT_VERSION}: the version resource holds at most 2 digits of minor, 4 of revision")
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

orvacct_zero_pad(minor_text ${PROJECT_VERSION_MINOR} 2)
orvacct_zero_pad(revision_text ${PROJECT_VERSION_PATCH} 4)
set(ORVACCT_VERSION ${PROJECT_VERSION})
set(ORVACCT_FILE_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,${PROJECT_VERSION_PATCH}")
set(ORVACCT_FILE_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${minor_text}.${revision_text}")
# Side-by-side assemblies are named with four numbers: the DLL's file version.
set(ORVACCT_ASSEMBLY_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.${PROJECT_VERSION_PATCH}")

set(version_folder ${PROJECT_BINARY_DIR}/version)
configure_file(${CMAKE_CURRENT_LIST_DIR}/orvacct_version.h.in ${version_folder}/orvacct_version.h @ONLY)
# For the packaging scripts, which need the number before they know a package's name.
file(WRITE ${version_folder}/VERSION "${ORVACCT_VERSION}\n")

add_library(orvacct_version INTERFACE)
target_include_directories(orvacct_version INTERFACE ${version_folder})
add_library(OrvAcct::version ALIAS orvacct_version)
