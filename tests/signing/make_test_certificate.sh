#!/bin/bash
# Makes a throw-away code-signing certificate for tests: a self-signed certificate with the
# code-signing purpose, its key and password in a PKCS#12 file, and the password in a file.
#   make_test_certificate.sh FOLDER
# FOLDER/certificate.pem (to verify against), FOLDER/signing.p12, FOLDER/password.txt
set -eu
out=$1
mkdir -p "$out"
umask 077
openssl rand -hex 16 > "$out/password.txt"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vostrel test signing/O=Vostrel" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
    -keyout "$out/key.pem" -out "$out/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/certificate.pem" -out "$out/signing.p12" \
    -passout "file:$out/password.txt"
rm "$out/key.pem"
