# The files the setup carries and installs. A maker names the real ones with cache variables;
# every one left empty is replaced by a stand-in built here, so that any build runs end to end:
#   product packages   - built with wixl from addin_package.wxs, with the real product codes;
#   runtime installers - vs_standin_runtime, which logs its command line and exits;
#   Windows Installer 3.1 redistributable - a small text file (carried, never used).
# Included from resources/, whose resource script reads the files from ${VS_PAYLOAD_DIR}.

set(VS_PAYLOAD_MSI_X86 "" CACHE FILEPATH
    "Product package for a 32-bit Outlook (resource MSI 131); empty: a stand-in package")
set(VS_PAYLOAD_MSI_X64 "" CACHE FILEPATH
    "Product package for the 64-bit Outlook (resource MSI 134); empty: a stand-in package")
set(VS_PAYLOAD_VCREDIST_X86 "" CACHE FILEPATH
    "Visual C++ 2008 runtime installer for x86 (resource EXE 148); empty: a stand-in")
set(VS_PAYLOAD_VCREDIST_X64 "" CACHE FILEPATH
    "Visual C++ 2008 runtime installer for x64 (resource EXE 147); empty: a stand-in")
set(VS_PAYLOAD_WI31 "" CACHE FILEPATH
    "Windows Installer 3.1 redistributable (resource EXE 55001); empty: a stand-in")

set(VS_PAYLOAD_DIR ${CMAKE_CURRENT_BINARY_DIR}/payload)
set(VS_PAYLOAD_SOURCES ${CMAKE_SOURCE_DIR}/tests/standins/payload)
file(MAKE_DIRECTORY ${VS_PAYLOAD_DIR})
set(VS_PAYLOAD_FILES "")
set(VS_PAYLOAD_STANDINS "")

# Upgrade and component codes of the stand-in packages; the product codes are the product's.
set(VS_STANDIN_UPGRADE_X86 {7A42A6B4-B6D7-4DF4-89A5-7F2EFF306F5E})
set(VS_STANDIN_UPGRADE_X64 {761610B2-45E3-44CC-9447-A7D48074A326})
set(VS_STANDIN_COMPONENT_X86 {59CCBF28-3FB9-4A69-9EA0-5DFE421E6F4C})
set(VS_STANDIN_COMPONENT_X64 {5E369ECB-0516-4B63-8271-39FB7836A76C})

# A file the maker supplies, copied under the name the resource script expects.
function(vs_supplied_payload variable name)
  if(NOT EXISTS "${${variable}}" OR IS_DIRECTORY "${${variable}}")
    message(FATAL_ERROR "${variable} names '${${variable}}', which is not a file")
  endif()
  add_custom_command(OUTPUT ${VS_PAYLOAD_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${${variable}} ${VS_PAYLOAD_DIR}/${name}
    DEPENDS ${${variable}}
    COMMENT "Payload ${name} from ${${variable}}"
    VERBATIM)
  set(VS_PAYLOAD_FILES ${VS_PAYLOAD_FILES} ${VS_PAYLOAD_DIR}/${name} PARENT_SCOPE)
endfunction()

function(vs_standin_package variable name arch product upgrade component)
  if(arch STREQUAL "x64")
    set(folder ProgramFiles64Folder)
    set(win64 yes)
  else()
    set(folder ProgramFilesFolder)
    set(win64 no)
  endif()
  add_custom_command(OUTPUT ${VS_PAYLOAD_DIR}/${name}
    COMMAND ${VS_WIXL} -a ${arch} -D ProductCode=${product} -D UpgradeCode=${upgrade}
            -D ComponentGuid=${component} -D ProgramFiles=${folder} -D Win64=${win64}
            -o ${VS_PAYLOAD_DIR}/${name} ${VS_PAYLOAD_SOURCES}/addin_package.wxs
    DEPENDS ${VS_PAYLOAD_SOURCES}/addin_package.wxs ${VS_PAYLOAD_SOURCES}/VsOutlookEnclosa.txt
    COMMENT "Stand-in package ${name} (${arch})"
    VERBATIM)
  set(VS_PAYLOAD_FILES ${VS_PAYLOAD_FILES} ${VS_PAYLOAD_DIR}/${name} PARENT_SCOPE)
  set(VS_PAYLOAD_STANDINS ${VS_PAYLOAD_STANDINS} ${variable} PARENT_SCOPE)
endfunction()

function(vs_standin_copy variable name source)
  add_custom_command(OUTPUT ${VS_PAYLOAD_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${VS_PAYLOAD_DIR}/${name}
    DEPENDS ${source}
    COMMENT "Stand-in payload ${name}"
    VERBATIM)
  set(VS_PAYLOAD_FILES ${VS_PAYLOAD_FILES} ${VS_PAYLOAD_DIR}/${name} PARENT_SCOPE)
  set(VS_PAYLOAD_STANDINS ${VS_PAYLOAD_STANDINS} ${variable} PARENT_SCOPE)
endfunction()

if(NOT VS_PAYLOAD_MSI_X86 OR NOT VS_PAYLOAD_MSI_X64)
  find_program(VS_WIXL wixl REQUIRED)
endif()
if(NOT VS_PAYLOAD_VCREDIST_X86 OR NOT VS_PAYLOAD_VCREDIST_X64)
  add_executable(vs_standin_runtime WIN32 ${VS_PAYLOAD_SOURCES}/standin_runtime.cpp)
  target_link_libraries(vs_standin_runtime PRIVATE shell32)
  target_link_options(vs_standin_runtime PRIVATE -s)
endif()

if(VS_PAYLOAD_MSI_X86)
  vs_supplied_payload(VS_PAYLOAD_MSI_X86 VsEnclosaSetup.msi)
else()
  vs_standin_package(VS_PAYLOAD_MSI_X86 VsEnclosaSetup.msi x86 {9531985D-5D9D-49F8-9818-E811892F902B}
                     ${VS_STANDIN_UPGRADE_X86} ${VS_STANDIN_COMPONENT_X86})
endif()
if(VS_PAYLOAD_MSI_X64)
  vs_supplied_payload(VS_PAYLOAD_MSI_X64 VsEnclosaSetupx64.msi)
else()
  vs_standin_package(VS_PAYLOAD_MSI_X64 VsEnclosaSetupx64.msi x64 {8D116ECE-1738-47D9-BD9C-172411E20B8F}
                     ${VS_STANDIN_UPGRADE_X64} ${VS_STANDIN_COMPONENT_X64})
endif()
foreach(arch 86 64)
  if(VS_PAYLOAD_VCREDIST_X${arch})
    vs_supplied_payload(VS_PAYLOAD_VCREDIST_X${arch} vc_redist${arch}.exe)
  else()
    vs_standin_copy(VS_PAYLOAD_VCREDIST_X${arch} vc_redist${arch}.exe $<TARGET_FILE:vs_standin_runtime>)
  endif()
endforeach()
if(VS_PAYLOAD_WI31)
  vs_supplied_payload(VS_PAYLOAD_WI31 WindowsInstaller31.exe)
else()
  vs_standin_copy(VS_PAYLOAD_WI31 WindowsInstaller31.exe ${VS_PAYLOAD_SOURCES}/WindowsInstaller31.standin.txt)
endif()

if(VS_PAYLOAD_STANDINS)
  string(REPLACE ";" ", " standins "${VS_PAYLOAD_STANDINS}")
  message(STATUS "Payloads: stand-ins for ${standins}")
endif()

# Tests find the payloads through this target's properties.
add_custom_target(vs_payloads DEPENDS ${VS_PAYLOAD_FILES})
set_target_properties(vs_payloads PROPERTIES
  VS_PAYLOAD_DIR ${VS_PAYLOAD_DIR}
  VS_PAYLOAD_STANDINS "${VS_PAYLOAD_STANDINS}"
  VS_STANDIN_UPGRADE_X86 ${VS_STANDIN_UPGRADE_X86}
  VS_STANDIN_UPGRADE_X64 ${VS_STANDIN_UPGRADE_X64})
