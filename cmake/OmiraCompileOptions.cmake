# One interface target carries the language level, warnings and Qt strictness
# for every target of the project, so the whole tree is held to the same bar.
add_library(omira_options INTERFACE)
target_compile_features(omira_options INTERFACE cxx_std_20)

if(MSVC)
    target_compile_options(omira_options INTERFACE /W4 /WX)
else()
    target_compile_options(omira_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endif()

target_compile_definitions(omira_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_FOREACH)

if(OMIRA_SANITIZE)
    target_compile_options(omira_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(omira_options INTERFACE -fsanitize=address,undefined)
endif()
