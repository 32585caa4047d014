# The folders include each other in one direction only: a folder includes
# from the folders below it, and from app/ only the headers named here. All
# the window code is built into one library, so nothing else would notice a
# new loop. Usage: cmake -DROOT=<source tree> -P layering.cmake
set(allowed_content "^content/|^platform/(services|mirrored_text)\\.h$")
set(allowed_platform "^platform/")
set(allowed_panes "^(content|platform|panes)/|^app/app_state\\.h$")
set(allowed_navigation "^(content|platform|panes|navigation)/|^app/(app_state|commands)\\.h$|^accessibility/((outline|results)_access|announce)\\.h$")
set(allowed_clipboard "^(content|platform|panes|clipboard)/|^app/app_state\\.h$")
set(allowed_accessibility "^(content|platform|panes|navigation|clipboard|accessibility)/|^app/app_state\\.h$")
set(allowed_fontdialog "^(platform|fontdialog|resources)/|^app/app_state\\.h$")

set(violations "")
foreach(folder content platform panes navigation clipboard fontdialog accessibility)
  file(GLOB sources ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^#include \"")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" included "${line}")
      if(NOT included MATCHES "${allowed_${folder}}")
        file(RELATIVE_PATH shown ${ROOT} ${source})
        string(APPEND violations "  ${shown} includes ${included}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes against the layering:\n${violations}")
endif()
