cmake_minimum_required(VERSION 3.25)
# Builds one page of the user guide: the page frame around a body of hand-written HTML.
# cmake -DTEMPLATE=page.html.in -DBODY=de.html -DOUTPUT=taktplan-de.html -DLANG=de -DVERSION=2.2
#       -DSECTIONS=hidpi,kontakt -P build_page.cmake
# Each section also gets a small page of its own beside the guide (taktplan-de-hidpi.html) that
# leads to it: a file address with "#hidpi" behind it loses that part on the way through some
# desktops' openers, a file of its own does not.
foreach(required TEMPLATE BODY OUTPUT LANG VERSION)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "build_page.cmake: ${required} is not set")
    endif()
endforeach()
file(READ "${TEMPLATE}" page)
file(READ "${BODY}" body)
# The title is the body's first heading.
if(NOT body MATCHES "<h1[^>]*>([^<]+)</h1>")
    message(FATAL_ERROR "${BODY} has no <h1> heading")
endif()
set(title "${CMAKE_MATCH_1}")
if(LANG STREQUAL "de")
    set(other_lang en)
    set(other_name "English")
else()
    set(other_lang de)
    set(other_name "Deutsch")
endif()
# Plain replacements: the body may hold anything, also text that looks like CMake variables.
string(REPLACE "@BODY@" "${body}" page "${page}")
string(REPLACE "@TITLE@" "${title}" page "${page}")
string(REPLACE "@LANG@" "${LANG}" page "${page}")
string(REPLACE "@OTHER_LANG@" "${other_lang}" page "${page}")
string(REPLACE "@OTHER_LANG_NAME@" "${other_name}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")

get_filename_component(guide_name "${OUTPUT}" NAME)
get_filename_component(guide_dir "${OUTPUT}" DIRECTORY)
get_filename_component(guide_stem "${OUTPUT}" NAME_WE)
string(REPLACE "," ";" sections "${SECTIONS}")
foreach(section IN LISTS sections)
    if(NOT body MATCHES "id=\"${section}\"")
        message(FATAL_ERROR "${BODY} has no section with id=\"${section}\"")
    endif()
    set(target "${guide_name}#${section}")
    file(WRITE "${guide_dir}/${guide_stem}-${section}.html" "<!DOCTYPE html>
<html lang=\"${LANG}\">
<head>
<meta charset=\"utf-8\">
<meta http-equiv=\"refresh\" content=\"0; url=${target}\">
<title>${title}</title>
</head>
<body>
<p><a href=\"${target}\">${title}</a></p>
</body>
</html>
")
endforeach()
