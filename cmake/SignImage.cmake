# cmake -DOSSLSIGNCODE=... -DIMAGE=... -DPKCS12=... -DPASSWORD_FILE=... [-DTIMESTAMP_URL=...]
#       -DNAME=... -DURL=... -P SignImage.cmake
# Signs IMAGE in place with the certificate of the PKCS#12 file (Authenticode, SHA-256); the
# password is read from its file by osslsigncode, never passed on a command line.
set(signed ${IMAGE}.signed)
file(REMOVE ${signed})
set(timestamp)
if(TIMESTAMP_URL)
  set(timestamp -ts ${TIMESTAMP_URL})
endif()
execute_process(
  COMMAND ${OSSLSIGNCODE} sign -pkcs12 ${PKCS12} -readpass ${PASSWORD_FILE} -h sha256
          -n ${NAME} -i ${URL} ${timestamp} -in ${IMAGE} -out ${signed}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  file(REMOVE ${signed})
  message(FATAL_ERROR "Signing ${IMAGE} failed:\n${output}")
endif()
file(RENAME ${signed} ${IMAGE})
