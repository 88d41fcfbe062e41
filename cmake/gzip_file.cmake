# cmake -DIN=file -DOUT=file.gz -P gzip_file.cmake: gzip -9n, so the same input gives the same bytes.
execute_process(COMMAND gzip -9n -c ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip ${IN}: ${result}")
endif()
