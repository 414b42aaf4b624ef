# The installer's script: CMake's own NSIS template with the few changes CPack's variables
# cannot make. Each change names the text it replaces, so a CMake whose template reads otherwise
# stops the configuration here instead of quietly making an English installer.
#
# - A 64-bit Unicode installer. The template is UTF-8 (it starts with a byte-order mark) but
#   makes a 32-bit ANSI one, which would spell the Russian texts in the installing machine's code
#   page and needs the 32-bit subsystem (a 64-bit-only Wine cannot run it).
# - Russian pages and buttons whatever the system's language: the template offers English first
#   and some sixty others, while the program itself speaks only Russian.
# - No licence page: the project has no licence text, and CPack would show its placeholder (the
#   template shows CPACK_RESOURCE_FILE_LICENSE, which must name an existing file).
# - The template's own messages and the Start-menu entry of the uninstaller in Russian.

function(replace_in_nsis_template old new)
  string(FIND "${nsis_template}" "${old}" found_at)
  if(old STREQUAL "" OR found_at EQUAL -1)
    message(FATAL_ERROR "CMake's NSIS template has no \"${old}\": "
                        "see ${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
  endif()
  string(REPLACE "${old}" "${new}" replaced "${nsis_template}")
  set(nsis_template "${replaced}" PARENT_SCOPE)
endfunction()

function(write_russian_nsis_template folder)
  file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis_template)
  string(SUBSTRING "${nsis_template}" 0 3 byte_order_mark)
  string(SUBSTRING "${nsis_template}" 3 -1 nsis_template)

  set(language_line "  !insertmacro MUI_LANGUAGE")
  set(languages_regex "${language_line} \"English\"[^\n]*\n(${language_line} \"[A-Za-z]+\"\n)+")
  string(REGEX MATCH "${languages_regex}" languages "${nsis_template}")
  replace_in_nsis_template("${languages}" "${language_line} \"Russian\"\n")
  replace_in_nsis_template("  @CPACK_NSIS_LICENSE_PAGE@\n" "")
  set(upgrade_question "@CPACK_NSIS_PACKAGE_NAME@ is already installed. $\\n$\\n")
  string(APPEND upgrade_question
         "Do you want to uninstall the old version before installing the new one?")
  set(russian_upgrade_question "Программа @CPACK_NSIS_PACKAGE_NAME@ уже установлена.$\\n$\\n")
  string(APPEND russian_upgrade_question "Удалить прежнюю версию перед установкой новой?")
  replace_in_nsis_template("${upgrade_question}" "${russian_upgrade_question}")
  replace_in_nsis_template("\"Uninstall failed.\"" "\"Прежнюю версию удалить не удалось.\"")
  replace_in_nsis_template("\\Uninstall.lnk\"" "\\Удаление @CPACK_NSIS_PACKAGE_NAME@.lnk\"")

  file(WRITE ${folder}/NSIS.template.in
       "${byte_order_mark}Target amd64-unicode\n${nsis_template}")
endfunction()
