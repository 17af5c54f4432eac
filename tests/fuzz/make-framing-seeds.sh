#!/usr/bin/env bash
# Makes the framing_fuzz seeds from the replies of the parser_fuzz seeds: each
# reply whole, cut once before t3.5, and for the status read, a write echo and
# the password echo also byte by byte, cut by a silence, read late by the
# thread, and twice in a row. The input layout is described in framing_fuzz.cpp.
#   tests/fuzz/make-framing-seeds.sh   (rewrites tests/fuzz/seeds/framing_fuzz/)
set -euo pipefail
cd "$(dirname "$0")/seeds"
out=framing_fuzz
rm -rf "$out"
mkdir -p "$out"

# 19200 bit/s, odd parity, 8 data bits, 1 stop bit; reply time-out 500 ms.
line='\x0c'
timeout='\x32'

reply() { tail -c +4 "parser_fuzz/$1"; }
choice() { head -c 1 "parser_fuzz/$1"; }
length() { reply "$1" | wc -c; }

seed() {  # name source cuts-and-table [stream...]
  local name="$1" source="$2" cuts="$3"
  shift 3
  {
    choice "$source"
    printf "%b%b%b" "$line" "$timeout" "$cuts"
    # A request of any shape carries its 6 bytes after the cuts: those of the
    # parser seed, whose reply starts with them.
    if [ "$source" = any_request ]; then reply any_request | head -c 6; fi
    if [ $# -eq 0 ]; then reply "$source"; else for s in "$@"; do reply "$s"; done; fi
  } >"$out/$name"
}

for s in parser_fuzz/*; do
  s="$(basename "$s")"
  seed "${s}_whole" "$s" '\x00'
  # Three bytes, then the rest half a t3.5 later.
  seed "${s}_cut" "$s" '\x02\x03\x00\x7f\x20'
done

for s in read_2748 write_echo password_echo; do
  n="$(length "$s")"
  bytes="$(printf '\\x01\\x08%.0s' $(seq 15))"
  seed "${s}_bytewise" "$s" "\\x0f$bytes"
  # Five bytes, then t3.5 and 1 us without a byte: a frame cut in two.
  seed "${s}_silence" "$s" '\x02\x05\x00\x7f\xa1'
  # The thread is late: three bytes wait while 200 ms pass, then the rest comes.
  seed "${s}_late" "$s" '\x02\x83\x00\x7f\xc5'
  # The reply, and the same reply answering the next request t3.5 later.
  seed "${s}_twice" "$s" "\\x02\\x$(printf %02x "$n")\\x00\\x7f\\xbf" "$s" "$s"
done
