# Sourced by the package tests: make_throwaway_signer DIR makes, in DIR, a certificate
# authority of its own (ca.pem) and a code-signing certificate it issued (signer.pem, key
# signer.key), made now and never kept, and exports them as VESK_SIGN_CERT and VESK_SIGN_KEY.
make_throwaway_signer() {
  local dir=$1
  mkdir -p "$dir"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throw-away test CA" \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
    2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj "/CN=Throw-away test signer" \
    -keyout "$dir/signer.key" -out "$dir/signer.csr" 2>/dev/null
  printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
    "extendedKeyUsage=codeSigning" >"$dir/signer.ext"
  # Valid for two days: verification checks the chain at the time it runs.
  openssl x509 -req -in "$dir/signer.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -CAcreateserial -days 2 -extfile "$dir/signer.ext" -out "$dir/signer.pem" 2>/dev/null
  export VESK_SIGN_CERT=$dir/signer.pem VESK_SIGN_KEY=$dir/signer.key
}
