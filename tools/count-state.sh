#!/bin/sh
# Mutable state with static storage in the console's own sources (no build needed; clang-query and
# Qt's pkg-config files). One line per variable: ns|tl|fn file:line name, then a summary. Not
# counted: const, constexpr, references (aliases of state held elsewhere). *_win32.cpp are skipped.
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)" || exit 1
FLAGS="-std=c++17 -I. $(pkg-config --cflags Qt6Core Qt6Gui Qt6Widgets Qt6SerialPort Qt6Charts)"
BASE='hasGlobalStorage(), isDefinition(), isExpansionInMainFile(), unless(hasType(isConstQualified())),
      unless(isConstexpr()), unless(hasType(referenceType()))'
ORIGINALS='RS232COMThreadHandle RS232COMThreadStatue RS232COMThreadStop RefreshUIThreadHandle
RefreshUIThreadStatue RefreshUIThreadStop active_comselect btlselect btlvalue child comConfigure_flag
comConfigure_success_flag com_idle com_idle_delay com_idle_delay_begin com_idle_delay_end
communication_password_hci communication_password_sendFlag comselect comvalue dataItem1 dataItem2
dataItem3 dataItem4 dataItem5 dataItem6 dataItemOR err1statue err2statue err3statue
hci_commnication_enable_5927 inputIOstatue jhselect jhvalue longselect longvalue modbus_rx_buffer
modbus_tx_buffer modbus_tx_frame_byte_num outputIOstatue panelMain panelSet_display_flag panel_debug
panel_debug_display_flag panel_debug_tab panel_set panel_set_tab query_enable_flag receive_buffer
receive_count receive_frame_end_delay receive_frame_end_delay_begin receive_frame_end_delay_end
receive_frame_end_flag receive_frame_length receive_leng recieveLedON recieveLedShineDelay sendLedON
sendLedON_1 sendLedShineDelay stopselect stopvalue tx_package_flag tx_package_flag_send'
out=$(git ls-files 'app/*.cpp' 'engine/*.cpp' 'modbus/*.cpp' 'model/*.cpp' 'pages/*.cpp' \
    'platform/*.cpp' 'serial/*.cpp' 'sets/*.cpp' 'tools/sim/*.cpp' | grep -v '_win32\.cpp$' |
  while read -r f; do
    # shellcheck disable=SC2086  # FLAGS is a list of compiler options
    clang-query -c 'set output dump' -c "match varDecl($BASE, isStaticLocal())" \
      -c "match varDecl($BASE, unless(isStaticLocal()), hasThreadStorageDuration())" \
      -c "match varDecl($BASE, unless(isStaticLocal()), hasStaticStorageDuration())" \
      "$f" -- $FLAGS 2>/dev/null |
    awk -v f="$f" 'BEGIN { split("fn tl ns", kind); k = 1 } /^[0-9]+ match(es)?\.$/ { k++ }
      /^VarDecl/ { l = $0; sub(/^[^<]*<[^:]*:/, "", l); sub(/:.*/, "", l)
                   n = $0; sub(/ '"'"'.*/, "", n); sub(/.* /, "", n); print kind[k], f ":" l, n }'
  done)
echo "$out"
orig=$(echo "$ORIGINALS" | tr -s ' \n' '\n')
echo "$out" | awk -v o="$orig" 'BEGIN { n = split(o, a, "\n"); for (i = 1; i <= n; i++) is[a[i]] = 1 }
  $1 == "ns" && ($3 in is) { ++orig } $1 == "ns" && !($3 in is) { ++feat } $1 == "tl" { ++tl } $1 == "fn" { ++fn }
  END { printf "originals %d, features %d (namespace scope), thread_local %d, function statics %d\n",
        orig, feat, tl, fn; exit feat > 15 }'
