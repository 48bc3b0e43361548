# Checks that the desktop entry and the metainfo agree with each other and
# with the build: the names they refer to are the ones installed, and the
# newest release listed is the version being built.
file(READ ${SOURCE_DIR}/data/${APP_ID}.desktop desktop)
file(READ ${SOURCE_DIR}/data/${APP_ID}.metainfo.xml metainfo)

function(expect text what regex)
  if(NOT text MATCHES "${regex}")
    message(SEND_ERROR "${what}: no match for ${regex}")
  endif()
endfunction()

# The launcher starts the installed program with one file and shows the
# installed icon; the metainfo names this desktop entry and this icon.
expect("${desktop}" "desktop entry" "\nExec=yomikaki %f\n")
expect("${desktop}" "desktop entry" "\nIcon=yomikaki\n")
expect("${metainfo}" "metainfo" "<id>${APP_ID}</id>")
expect("${metainfo}" "metainfo" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>")
expect("${metainfo}" "metainfo" "<icon type=\"stock\">yomikaki</icon>")
foreach(key Name GenericName Comment)
  expect("${desktop}" "desktop entry" "\n${key}=[^\n]+\n")
  expect("${desktop}" "desktop entry" "\n${key}\\[ja\\]=[^\n]+\n")
endforeach()

# Releases are listed newest first.
string(REGEX MATCH "<release version=\"([^\"]+)\"" _ "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(SEND_ERROR "metainfo: newest release is '${CMAKE_MATCH_1}', the project is ${VERSION}")
endif()
