# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack as it stages the package (CPACK_INSTALL_SCRIPTS): writes NEWS.md
# as the changelog of a native Debian package, signed by the package's
# maintainer, which cpack alone knows. Each version's date is the one NEWS.md
# gives, so that the same sources make the same changelog.

# A day as the changelog dates it: "Wed, 09 Dec 2026 00:00:00 +0000".
function(kor_changelog_date year month day out)
    # Days since 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's
    # days_from_civil), and the weekday: that day was a Thursday.
    # Leading zeros stripped: "09" is no number to math().
    math(EXPR month_number "1${month} - 100")
    math(EXPR day_number "1${day} - 100")
    # The year counted from March, so that a leap day ends it.
    set(y ${year})
    if(month_number LESS_EQUAL 2)
        math(EXPR y "${year} - 1")
    endif()
    math(EXPR era "${y} / 400")
    math(EXPR year_of_era "${y} - ${era} * 400")
    math(EXPR shifted_month "(${month_number} + 9) % 12")
    math(EXPR day_of_year "(153 * ${shifted_month} + 2) / 5 + ${day_number} - 1")
    math(EXPR day_of_era
        "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
    math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
    math(EXPR weekday "(${days} + 4) % 7")
    list(GET weekdays ${weekday} weekday_name)
    math(EXPR month_index "${month_number} - 1")
    list(GET months ${month_index} month_name)
    set(${out} "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()
set(weekdays Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)

# One change as a changelog item, its words wrapped within 80 columns.
function(kor_changelog_item text out)
    string(REGEX REPLACE "[ \t]+" ";" words "${text}")
    set(item "")
    set(line "  *")
    foreach(word IN LISTS words)
        string(LENGTH "${line} ${word}" length)
        if(length GREATER 78 AND NOT line MATCHES "^ +\\*?$")
            string(APPEND item "${line}\n")
            set(line "   ")
        endif()
        string(APPEND line " ${word}")
    endforeach()
    set(${out} "${${out}}${item}${line}\n" PARENT_SCOPE)
endfunction()

set(signature " -- ${CPACK_PACKAGE_CONTACT}  ")
set(changelog "")
set(version "")
set(item "")
# Lines as a list: the characters a list would take for its own stand in for
# themselves until the changelog is written.
file(READ "${CPACK_KOR_NEWS}" news)
string(REPLACE "\\" "<backslash>" news "${news}")
string(REPLACE ";" "<semicolon>" news "${news}")
string(REPLACE "[" "<open>" news "${news}")
string(REPLACE "]" "<close>" news "${news}")
# An empty line ends the last item of the file too.
string(REPLACE "\n" ";" lines "${news}\n")
foreach(line IN LISTS lines)
    if(line MATCHES "^- (.*)$" OR line MATCHES "^## " OR line STREQUAL "")
        if(NOT item STREQUAL "")
            kor_changelog_item("${item}" changelog)
            set(item "")
        endif()
    endif()
    if(line MATCHES "^## ([0-9][0-9.]*) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
        if(NOT version STREQUAL "")
            string(APPEND changelog "\n${signature}${date}\n\n")
        endif()
        set(version "${CMAKE_MATCH_1}")
        kor_changelog_date(${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} date)
        if(changelog STREQUAL "" AND NOT version STREQUAL CPACK_PACKAGE_VERSION)
            message(FATAL_ERROR "${CPACK_KOR_NEWS} begins with version ${version}, "
                                "the package is ${CPACK_PACKAGE_VERSION}: say what it changes there first")
        endif()
        string(APPEND changelog "${CPACK_PACKAGE_NAME} (${version}) unstable; urgency=medium\n\n")
    elseif(line MATCHES "^## ")
        message(FATAL_ERROR "${CPACK_KOR_NEWS}: \"${line}\" is no \"## VERSION (YYYY-MM-DD)\"")
    elseif(line MATCHES "^- (.*)$")
        set(item "${CMAKE_MATCH_1}")
    elseif(NOT item STREQUAL "" AND line MATCHES "^ +(.*)$")
        string(APPEND item " ${CMAKE_MATCH_1}")
    endif()
endforeach()
if(version STREQUAL "")
    message(FATAL_ERROR "${CPACK_KOR_NEWS} names no version")
endif()
string(APPEND changelog "\n${signature}${date}\n")

# Compressed as Debian ships it; -n keeps the name and time out.
set(staged "${CPACK_PACKAGE_DIRECTORY}/kor-changelog")
file(MAKE_DIRECTORY "${staged}")
string(REPLACE "<semicolon>" ";" changelog "${changelog}")
string(REPLACE "<backslash>" "\\" changelog "${changelog}")
string(REPLACE "<open>" "[" changelog "${changelog}")
string(REPLACE "<close>" "]" changelog "${changelog}")
file(WRITE "${staged}/changelog" "${changelog}")
execute_process(COMMAND gzip -9nf "${staged}/changelog" COMMAND_ERROR_IS_FATAL ANY)
# Into the staging folder (DESTDIR), under the package's own prefix.
file(INSTALL "${staged}/changelog.gz" DESTINATION "${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_KOR_DOCDIR}")
file(REMOVE_RECURSE "${staged}")
