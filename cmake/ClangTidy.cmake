# clang-tidy over the portable code, as a test: any warning fails it.
find_program(CLANG_TIDY clang-tidy REQUIRED)
add_test(NAME clang_tidy
  COMMAND ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet
    ${PROJECT_SOURCE_DIR}/conversion/card_header.cpp
    ${PROJECT_SOURCE_DIR}/conversion/convert_card.cpp
    ${PROJECT_SOURCE_DIR}/conversion/destination_posix.cpp
    ${PROJECT_SOURCE_DIR}/conversion/file_system_posix.cpp
    ${PROJECT_SOURCE_DIR}/conversion/kept_attributes_posix.cpp
    ${PROJECT_SOURCE_DIR}/conversion/output_name.cpp
    ${PROJECT_SOURCE_DIR}/conversion/save_signal_guard_posix.cpp
    ${PROJECT_SOURCE_DIR}/dialogs/dialog_request.cpp
    ${PROJECT_SOURCE_DIR}/window/window_commands.cpp
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
