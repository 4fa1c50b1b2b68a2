# Compiles one locale into OUTPUT with localedef. localedef may warn about the system's own
# sources and still write a usable locale; only a locale that was not written is a failure.
execute_process(
  COMMAND ${LOCALEDEF} -c -i ${SOURCE} -f ${CHARMAP} ${OUTPUT}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT EXISTS ${OUTPUT}/LC_NUMERIC)
  message(FATAL_ERROR
    "Could not compile the ${SOURCE}.${CHARMAP} locale (localedef said: ${result} ${output}). "
    "The locale sources come with the Debian package \"locales\"; scripts/setup installs it.")
endif()
