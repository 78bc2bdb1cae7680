#!/bin/bash
# Lists source files over 600 lines and function bodies over 80 lines under src/.
cd "${1:-.}"
find src -name '*.cpp' -o -name '*.h' | sort | while read -r f; do
  n=$(wc -l < "$f"); [ "$n" -gt 600 ] && echo "FILE $f $n"
done
find src -name '*.cpp' | sort | xargs awk '
FNR==1 { depth=0; ns=0; start=0; sig=0 }
{
  line=$0
  gsub(/"([^"\\]|\\.)*"/, "\"\"", line); gsub(/'"'"'([^'"'"'\\]|\\.)*'"'"'/, "0", line); sub(/\/\/.*/, "", line)
  if (depth==ns && line ~ /^namespace/ && line ~ /{/) { ns++; depth++; next }
  if (depth==ns) {
    if (line ~ /^[A-Za-z].*\(/ && line !~ /;[[:space:]]*$/ && line !~ /=[^=]*{/) { sig=FNR; name=$0 }
    else if (line ~ /^(struct|class|enum|union)/ || line ~ /=[^(]*{/) sig=0
  }
  o=gsub(/{/, "{", line); c=gsub(/}/, "}", line)
  if (depth==ns && o>0) start=sig
  depth+=o-c
  if (depth<ns) { ns=depth }
  if (depth==ns && start>0 && (o>0||c>0)) { len=FNR-start+1; if (len>80) printf "FUNC %s:%d %d %s\n", FILENAME, start, len, substr(name,1,70); start=0 }
}'
