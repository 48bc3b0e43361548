# Checks that the desktop entry, the metainfo and the package's changelog
# agree with each other and with the build: the names they refer to are the
# ones installed, and the newest release listed is the version being built,
# of the same date in the metainfo and the changelog.
file(READ ${SOURCE_DIR}/data/${APP_ID}.desktop desktop)
file(READ ${SOURCE_DIR}/data/${APP_ID}.metainfo.xml metainfo)
file(READ ${SOURCE_DIR}/data/changelog changelog)

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
string(REGEX MATCH "<release version=\"([^\"]+)\" date=\"([0-9]+)-([0-9]+)-([0-9]+)\"" _ "${metainfo}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(SEND_ERROR "metainfo: newest release is '${CMAKE_MATCH_1}', the project is ${VERSION}")
endif()
set(year ${CMAKE_MATCH_2})
math(EXPR day "${CMAKE_MATCH_4}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR month "${CMAKE_MATCH_3} - 1")
list(GET months ${month} month)

# The changelog's first entry is this version, signed on the release's date.
string(REGEX MATCH "^yomikaki \\(([^)]+)\\) [a-z]+; urgency=[a-z]+\n" _ "${changelog}")
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(SEND_ERROR "changelog: first entry is '${CMAKE_MATCH_1}', the project is ${VERSION}")
endif()
string(REGEX MATCH "\n -- [^\n]+>  [A-Z][a-z][a-z], 0?([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) " _ "${changelog}")
if(NOT "${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3}" STREQUAL "${day} ${month} ${year}")
  message(SEND_ERROR "changelog: first entry is of ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3}, "
                     "the newest release in the metainfo of ${day} ${month} ${year}")
endif()
