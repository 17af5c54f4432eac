<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Arguments</name>
    <message>
        <location filename="../app/arguments.cpp" line="+22"/>
        <source>unknown argument &apos;%1&apos;</source>
        <translation>unknown argument &apos;%1&apos;</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>unknown argument &apos;%1&apos; for %2</source>
        <translation>unknown argument &apos;%1&apos; for %2</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>%1 needs a value</source>
        <translation>%1 needs a value</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <location filename="../app/command_capture.cpp" line="+42"/>
        <source>capture: %1</source>
        <translation>capture: %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>%1 (the command goes on)</source>
        <translation>%1 (the command goes on)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1 packets captured to %2</source>
        <translation>%1 packets captured to %2</translation>
    </message>
    <message>
        <location filename="../app/command_line.cpp" line="+173"/>
        <source>unknown argument &apos;%1&apos; for %2</source>
        <translation>unknown argument &apos;%1&apos; for %2</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>1200, 2400, 4800, 9600, 19200 or 115200</source>
        <translation>1200, 2400, 4800, 9600, 19200 or 115200</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>none, odd or even</source>
        <translation>none, odd or even</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>7 or 8</source>
        <translation>7 or 8</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>1 or 2</source>
        <translation>1 or 2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>seconds, above 0 and up to 600</source>
        <translation>seconds, above 0 and up to 600</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>seconds, above 0</source>
        <translation>seconds, above 0</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>shipped, en or zh_CN</source>
        <translation>shipped, en or zh_CN</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>bad --%1 &apos;%2&apos; (%3)</source>
        <translation>bad --%1 &apos;%2&apos; (%3)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>bad --only register &apos;%1&apos; (a parameter register, e.g. 2550)</source>
        <translation>bad --only register &apos;%1&apos; (a parameter register, e.g. 2550)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--capture needs a file name</source>
        <translation>--capture needs a file name</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>bad --device: %1</source>
        <translation>bad --device: %1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>%1 takes --device or --replay, not both</source>
        <translation>%1 takes --device or --replay, not both</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 needs a FILE</source>
        <translation>%1 needs a FILE</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>give --device PATH or --simulate, not both</source>
        <translation>give --device PATH or --simulate, not both</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--replay makes the report from a capture: no --device, --capture, --duration or --fast-line with it</source>
        <translation>--replay makes the report from a capture: no --device, --capture, --duration or --fast-line with it</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 needs --device PATH or --simulate</source>
        <translation>%1 needs --device PATH or --simulate</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 needs --device PATH or --replay FILE.pcapng</source>
        <translation>%1 needs --device PATH or --replay FILE.pcapng</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 needs --device PATH</source>
        <translation>%1 needs --device PATH</translation>
    </message>
    <message>
        <location line="+84"/>
        <source>%1 registers saved to %2</source>
        <translation>%1 registers saved to %2</translation>
    </message>
    <message>
        <location line="+28"/>
        <location filename="../app/report_command.cpp" line="+144"/>
        <location filename="../app/serve_command.cpp" line="+710"/>
        <source>cannot open %1</source>
        <translation>cannot open %1</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>%1 never read this page: %2 missing from the set</source>
        <translation>%1 never read this page: %2 missing from the set</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 never read these pages: %2 missing from the set</source>
        <translation>%1 never read these pages: %2 missing from the set</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>%1 of %2 registers differ</source>
        <translation>%1 of %2 registers differ</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>; %1 command registers differ, not compared</source>
        <translation>; %1 command registers differ, not compared</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>dry run: restore would refuse: %1</source>
        <translation>dry run: restore would refuse: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>dry run, %1 registers would be written, nothing was</source>
        <translation>dry run, %1 registers would be written, nothing was</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>nothing to write</source>
        <translation>nothing to write</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>nothing written, the backup could not be saved: %1</source>
        <translation>nothing written, the backup could not be saved: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <location filename="../app/serve_command.cpp" line="-79"/>
        <source>the controller&apos;s parameters before the restore: %1</source>
        <translation>the controller&apos;s parameters before the restore: %1</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>%1 written, %2 registers differ from the file now</source>
        <translation>%1 written, %2 registers differ from the file now</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>simulated controller: %1</source>
        <translation>simulated controller: %1</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>the panel resources do not describe every register:
%1</source>
        <translation>the panel resources do not describe every register:
%1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>no command</source>
        <translation>no command</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>another replay is running</source>
        <translation>another replay is running</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>register %1 of --only is not in %2</source>
        <translation>register %1 of --only is not in %2</translation>
    </message>
    <message>
        <location filename="../app/command_usage.cpp" line="+10"/>
        <source>commands (no display needed):
</source>
        <translation>commands (no display needed):
</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>  drive-console dump    --device PATH [port options] [--out FILE] [--note TEXT]
      read the controller&apos;s parameter set; write it to FILE or to standard output
</source>
        <translation>  drive-console dump    --device PATH [port options] [--out FILE] [--note TEXT]
      read the controller&apos;s parameter set; write it to FILE or to standard output
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>  drive-console verify  FILE --device PATH [port options]
      print each parameter that differs from FILE; exit 1 if any does. The command and
      test registers (2650, 2651, 2654, 2655) are listed as not compared
</source>
        <translation>  drive-console verify  FILE --device PATH [port options]
      print each parameter that differs from FILE; exit 1 if any does. The command and
      test registers (2650, 2651, 2654, 2655) are listed as not compared
</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>  drive-console restore FILE --device PATH [port options] [--only REG[,REG...]] [--dry-run]
                        [--allow-hall-fault-mask]
      save the controller&apos;s parameters to a backup, write the parameters that differ
      from FILE (or only those named), read the pages back and print the outcome of
      each; every write goes to the journal. --dry-run writes nothing. The command and
      test registers are never written
      --allow-hall-fault-mask  let the file turn the hall-fault mask (2662) on; without
                               it such a file is refused and nothing is written
</source>
        <translation>  drive-console restore FILE --device PATH [port options] [--only REG[,REG...]] [--dry-run]
                        [--allow-hall-fault-mask]
      save the controller&apos;s parameters to a backup, write the parameters that differ
      from FILE (or only those named), read the pages back and print the outcome of
      each; every write goes to the journal. --dry-run writes nothing. The command and
      test registers are never written
      --allow-hall-fault-mask  let the file turn the hall-fault mask (2662) on; without
                               it such a file is refused and nothing is written
</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>  drive-console watch   --device PATH [port options] [--duration S] [--out FILE.csv]
                        [--fast-line]
      write the password, then poll only the status block and print each fault event
      (ON, OFF, lost) as it happens, until S seconds have passed or Ctrl-C; every event
      also goes to faults.csv in the state folder. Exit status: 0 no fault bit was on,
      1 a fault was seen, 2 no answer from the controller and no fault seen, 3 bad
      arguments, or a file that cannot be written and no fault seen
</source>
        <translation>  drive-console watch   --device PATH [port options] [--duration S] [--out FILE.csv]
                        [--fast-line]
      write the password, then poll only the status block and print each fault event
      (ON, OFF, lost) as it happens, until S seconds have passed or Ctrl-C; every event
      also goes to faults.csv in the state folder. Exit status: 0 no fault bit was on,
      1 a fault was seen, 2 no answer from the controller and no fault seen, 3 bad
      arguments, or a file that cannot be written and no fault seen
</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>  --replay FILE.pcapng  (dump, watch) in place of --device: a capture of the line
               played back as fast as it can be read; dump gives the set of its last
               page reads and names the pages it never read, watch its fault events
               with their captured times (faults.csv is left alone)
</source>
        <translation>  --replay FILE.pcapng  (dump, watch) in place of --device: a capture of the line
               played back as fast as it can be read; dump gives the set of its last
               page reads and names the pages it never read, watch its fault events
               with their captured times (faults.csv is left alone)
</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>  watch options:
  --duration S         stop after S seconds (default: at Ctrl-C)
  --out FILE.csv       write the events to FILE.csv too, in the format of faults.csv
  --fast-line          line-rate polling: a status read about every 0.05 s, not 0.5 s
</source>
        <translation>  watch options:
  --duration S         stop after S seconds (default: at Ctrl-C)
  --out FILE.csv       write the events to FILE.csv too, in the format of faults.csv
  --fast-line          line-rate polling: a status read about every 0.05 s, not 0.5 s
</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>  drive-console serve   --device PATH | --simulate [port options] [--fast-line]
                        [--capture FILE.pcapng]
      write the password, poll as the window does and answer JSON-RPC 2.0 requests on
      standard input, one JSON text per line each way (see the manual page for the
      methods); messages go to standard error. Ends at the end of input or at
      console.shutdown; exit status 0, or 2 when the controller never answered.
      --simulate serves the built-in simulated controller
</source>
        <translation>  drive-console serve   --device PATH | --simulate [port options] [--fast-line]
                        [--capture FILE.pcapng]
      write the password, poll as the window does and answer JSON-RPC 2.0 requests on
      standard input, one JSON text per line each way (see the manual page for the
      methods); messages go to standard error. Ends at the end of input or at
      console.shutdown; exit status 0, or 2 when the controller never answered.
      --simulate serves the built-in simulated controller
</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>  drive-console report  --device PATH [port options] [--duration S] [--reference SET.json]
                        [--out FILE.zip] [--fast-line]
  drive-console report  --replay FILE.pcapng [--reference SET.json] [--out FILE.zip]
      write the password, poll the status block for S seconds (30), read the parameters and
      write a service report: a zip with report.html (one page for a browser), the
      parameters as dump writes them, the fault events, the writes, the status values,
      the capture of the line, its counters and what the console and the port are.
      Prints the zip&apos;s name. Exit status: 0 written, 2 no answer from the controller,
      3 bad arguments, a reference that cannot be read or a file that cannot be written
      (no file is left in either case)
</source>
        <translation>  drive-console report  --device PATH [port options] [--duration S] [--reference SET.json]
                        [--out FILE.zip] [--fast-line]
  drive-console report  --replay FILE.pcapng [--reference SET.json] [--out FILE.zip]
      write the password, poll the status block for S seconds (30), read the parameters and
      write a service report: a zip with report.html (one page for a browser), the
      parameters as dump writes them, the fault events, the writes, the status values,
      the capture of the line, its counters and what the console and the port are.
      Prints the zip&apos;s name. Exit status: 0 written, 2 no answer from the controller,
      3 bad arguments, a reference that cannot be read or a file that cannot be written
      (no file is left in either case)
</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>  report options:
  --reference SET.json mark the parameters that differ from this set, with both values
  --out FILE.zip       where the report goes (default: drive-report-&lt;time&gt;.zip here)
  --replay FILE.pcapng make the report from a capture instead of a line: its status
                       replies, faults and counters, and its last reads of the
                       parameters (2 when it holds no status reply or no such read)
</source>
        <translation>  report options:
  --reference SET.json mark the parameters that differ from this set, with both values
  --out FILE.zip       where the report goes (default: drive-report-&lt;time&gt;.zip here)
  --replay FILE.pcapng make the report from a capture instead of a line: its status
                       replies, faults and counters, and its last reads of the
                       parameters (2 when it holds no status reply or no such read)
</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>  port options: --baud B (19200) --parity none|odd|even (odd) --data-bits 7|8 (8)
                --stop-bits 1|2 (1) --timeout S (10: give up when the controller is silent)
</source>
        <translation>  port options: --baud B (19200) --parity none|odd|even (odd) --data-bits 7|8 (8)
                --stop-bits 1|2 (1) --timeout S (10: give up when the controller is silent)
</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>  --capture FILE.pcapng  (every command) every frame on the line to FILE.pcapng; a file
               that cannot be created stops the command before the port opens (3), one
               that fails on the way stops the capture, and the command goes on to end
               with 3 unless it found differences or a fault (1)
</source>
        <translation>  --capture FILE.pcapng  (every command) every frame on the line to FILE.pcapng; a file
               that cannot be created stops the command before the port opens (3), one
               that fails on the way stops the capture, and the command goes on to end
               with 3 unless it found differences or a fault (1)
</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>  --lang LANG  (every command) the language of the messages and of the usage text:
               shipped or en (English) or zh_CN; without it the one the window keeps.
               Files, standard output and exit statuses are the same in every one
</source>
        <translation>  --lang LANG  (every command) the language of the messages and of the usage text:
               shipped or en (English) or zh_CN; without it the one the window keeps.
               Files, standard output and exit statuses are the same in every one
</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>  exit status of dump, verify and restore: 0 done, 1 differences remain, 2 no answer
               from the controller, 3 bad arguments or file, a refused file or no backup
               (nothing is written), or a capture that could not be written
</source>
        <translation>  exit status of dump, verify and restore: 0 done, 1 differences remain, 2 no answer
               from the controller, 3 bad arguments or file, a refused file or no backup
               (nothing is written), or a capture that could not be written
</translation>
    </message>
    <message>
        <location filename="../app/report_command.cpp" line="-91"/>
        <source>the folder %1 does not exist</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is not a folder</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is a folder</source>
        <translation>%1 is a folder</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1: %2 (the report has what came before)</source>
        <translation>%1: %2 (the report has what came before)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1: no status reply in the capture; no report written</source>
        <translation>%1: no status reply in the capture; no report written</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1: no read of the parameters in the capture; no report written</source>
        <translation>%1: no read of the parameters in the capture; no report written</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+100"/>
        <source>%1 fault events; the report is in %2</source>
        <translation>%1 fault events; the report is in %2</translation>
    </message>
    <message>
        <location line="-74"/>
        <location filename="../app/watch_command.cpp" line="+115"/>
        <source>cannot write %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>%1 (the report goes on)</source>
        <translation>%1 (the report goes on)</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>collecting %1 s of status from %2</source>
        <translation>collecting %1 s of status from %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../app/watch_command.cpp" line="+62"/>
        <source>%1: the port failed</source>
        <translation>%1: the port failed</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1: no status reply; no report written</source>
        <translation>%1: no status reply; no report written</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>interrupted: the report is made of what came so far</source>
        <translation>interrupted: the report is made of what came so far</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1: the parameters could not be read (%2); no report written</source>
        <translation>%1: the parameters could not be read (%2); no report written</translation>
    </message>
    <message>
        <location filename="../app/serve_command.cpp" line="-125"/>
        <source>the controller&apos;s parameters before the factory restore: %1</source>
        <translation>the controller&apos;s parameters before the factory restore: %1</translation>
    </message>
    <message>
        <location line="+186"/>
        <location filename="../app/watch_command.cpp" line="-72"/>
        <source>%1 is written again</source>
        <translation>%1 is written again</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 (serve goes on)</source>
        <translation>%1 (serve goes on)</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>serving %1: JSON-RPC 2.0 requests on standard input, one per line</source>
        <translation>serving %1: JSON-RPC 2.0 requests on standard input, one per line</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>%1: the controller never answered</source>
        <translation>%1: the controller never answered</translation>
    </message>
    <message>
        <location filename="../app/watch_command.cpp" line="-19"/>
        <source>%1 (since %2)</source>
        <translation>%1 (since %2)</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>%1 (the watch goes on)</source>
        <translation>%1 (the watch goes on)</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>replaying %1; times are those of the capture</source>
        <translation>replaying %1; times are those of the capture</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>watching %1; times are those of the status replies, exact to one status read (about %2 s)</source>
        <translation>watching %1; times are those of the status replies, exact to one status read (about %2 s)</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>interrupted</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>end of capture</source>
        <translation>end of capture</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1: no status reply within %2</source>
        <translation>%1: no status reply within %2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1: the controller did not accept the password within %2</source>
        <translation>%1: the controller did not accept the password within %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1: no status reply for %2</source>
        <translation>%1: no status reply for %2</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>%1 fault onsets</source>
        <translation>%1 fault onsets</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, a status read every %1</source>
        <translation>, a status read every %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>; still on: %1</source>
        <translation>; still on: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 events could not be written to %2</source>
        <translation>%1 events could not be written to %2</translation>
    </message>
</context>
<context>
    <name>FaultWindow</name>
    <message>
        <location filename="../app/fault_window.cpp" line="+107"/>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Event</source>
        <translation>Event</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fault</source>
        <translation>Fault</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Duration</source>
        <translation>Duration</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>First-out</source>
        <translation>First-out</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>still on</source>
        <translation>still on</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 s, link lost</source>
        <translation>%1 s, link lost</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>yes</source>
        <translation>yes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>no</source>
        <translation>no</translation>
    </message>
    <message>
        <location line="+113"/>
        <source>%1 bit %2. </source>
        <translation>%1 bit %2. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not on since the console started.</source>
        <translation>Not on since the console started.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>On since %1.</source>
        <translation>On since %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Last on %1 for %2 s (then the link was lost).</source>
        <translation>Last on %1 for %2 s (then the link was lost).</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last on %1 for %2 s.</source>
        <translation>Last on %1 for %2 s.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Not on since the port was opened.</source>
        <translation> Not on since the port was opened.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Once since the port was opened.</source>
        <translation> Once since the port was opened.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> %1 times since the port was opened.</source>
        <translation> %1 times since the port was opened.</translation>
    </message>
    <message>
        <location line="+83"/>
        <location line="+1"/>
        <location line="+243"/>
        <source>Fault history</source>
        <translation>Fault history</translation>
    </message>
    <message>
        <location line="-242"/>
        <source>Time resolution</source>
        <translation>Time resolution</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Save as CSV…</source>
        <translation>Save as CSV…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save as CSV</source>
        <translation>Save as CSV</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Clear list</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Journal: nothing is written during a replay</source>
        <translation>Journal: nothing is written during a replay</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+199"/>
        <source>Journal: %1</source>
        <translation>Journal: %1</translation>
    </message>
    <message>
        <location line="-205"/>
        <source>Journal</source>
        <translation>Journal</translation>
    </message>
    <message>
        <location line="-297"/>
        <source>ON</source>
        <comment>fault event: the fault came on</comment>
        <translation>ON</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OFF</source>
        <comment>fault event: the fault went off</comment>
        <translation>OFF</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>lost</source>
        <comment>fault event: the link was lost while the fault was on</comment>
        <translation>lost</translation>
    </message>
    <message>
        <location line="+341"/>
        <source>Events, newest first (the last %1 here; faults.csv keeps all)</source>
        <translation>Events, newest first (the last %1 here; faults.csv keeps all)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fault events</source>
        <translation>Fault events</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>Freeze frame: the status values of the onset reply</source>
        <translation>Freeze frame: the status values of the onset reply</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Freeze frame of</source>
        <translation>Freeze frame of</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Freeze frame</source>
        <translation>Freeze frame</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>At the onset</source>
        <translation>At the onset</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>No onset in the list. Select an event to see the status values at its onset.</source>
        <translation>No onset in the list. Select an event to see the status values at its onset.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 (%2) came on at %3</source>
        <translation>%1 (%2) came on at %3</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, first-out</source>
        <translation>, first-out</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>, not first-out</source>
        <translation>, not first-out</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Newest onset: %1</source>
        <translation>Newest onset: %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>now a status read every %1 s</source>
        <translation>now a status read every %1 s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no status replies now</source>
        <translation>no status replies now</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Times are those of the status replies, so each is exact to one status read interval: %1 (0.5 s on the standard passes, about 0.05 s with line-rate polling).</source>
        <translation>Times are those of the status replies, so each is exact to one status read interval: %1 (0.5 s on the standard passes, about 0.05 s with line-rate polling).</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+11"/>
        <source>Save fault events</source>
        <translation>Save fault events</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>%1 (the fault history goes on; its lines are kept until it can be written)</source>
        <translation>%1 (the fault history goes on; its lines are kept until it can be written)</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <location filename="../app/help_windows.cpp" line="+122"/>
        <source>Parameter reference</source>
        <translation>Parameter reference</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Search register, page, caption or unit</source>
        <translation>Search register, page, caption or unit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Page</source>
        <translation>Page</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Caption</source>
        <translation>Caption</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Scale</source>
        <translation>Scale</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value</source>
        <translation>Value</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>On the debug panel</source>
        <translation>On the debug panel</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 of %2 registers</source>
        <translation>%1 of %2 registers</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Drive Service Console
Version %1

Port:
</source>
        <translation>Drive Service Console
Version %1

Port:
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>

Network devices:%1</source>
        <translation>

Network devices:%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>

Settings:
%1

Journals, backups and state:
%2</source>
        <translation>

Settings:
%1

Journals, backups and state:
%2</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>About</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../app/language.cpp" line="+93"/>
        <source>The language could not be kept in %1. It holds for this run.</source>
        <translation>The language could not be kept in %1. It holds for this run.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Language</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As shipped</source>
        <translation>As shipped</translation>
    </message>
</context>
<context>
    <name>LineSettings</name>
    <message>
        <location filename="../app/line_settings.cpp" line="+70"/>
        <source>The line-rate settings could not be kept in %1. They hold for this run.</source>
        <translation>The line-rate settings could not be kept in %1. They hold for this run.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
</context>
<context>
    <name>LinkStatus</name>
    <message>
        <location filename="../engine/link_status.cpp" line="+44"/>
        <source>port closed</source>
        <translation>port closed</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>replying</source>
        <translation>replying</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>NO REPLY for %1 s</source>
        <translation>NO REPLY for %1 s</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>unlocked</source>
        <translation>unlocked</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>locked</source>
        <translation>locked</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwin.cpp" line="+84"/>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>MonitorWindow</name>
    <message>
        <location filename="../app/monitor_window.cpp" line="+257"/>
        <location line="+1"/>
        <source>Line monitor</source>
        <translation>Line monitor</translation>
    </message>
    <message>
        <location filename="../app/mainwin.cpp" line="+163"/>
        <location filename="../app/monitor_window.cpp" line="+143"/>
        <location line="+175"/>
        <location line="+282"/>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <location filename="../app/monitor_window.cpp" line="-512"/>
        <location line="+1"/>
        <source>Link health</source>
        <translation>Link health</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Capture line…</source>
        <translation>Capture line…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop capture</source>
        <translation>Stop capture</translation>
    </message>
    <message>
        <location line="+264"/>
        <source>Requests</source>
        <translation>Requests</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Replies accepted</source>
        <translation>Replies accepted</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Time-outs</source>
        <translation>Time-outs</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CRC or length rejects</source>
        <translation>CRC or length rejects</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Exception replies</source>
        <translation>Exception replies</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Other rejects</source>
        <translation>Other rejects</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Password writes</source>
        <translation>Password writes</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port errors</source>
        <translation>Port errors</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Response time, last</source>
        <translation>Response time, last</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Response time, min</source>
        <translation>Response time, min</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Response time, mean</source>
        <translation>Response time, mean</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Response time, max</source>
        <translation>Response time, max</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bytes sent</source>
        <translation>Bytes sent</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bytes received</source>
        <translation>Bytes received</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Last good reply</source>
        <translation>Last good reply</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <source>Reset counters</source>
        <translation>Reset counters</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+451"/>
        <source>Record status values</source>
        <translation>Record status values</translation>
    </message>
    <message>
        <location line="-450"/>
        <source>Recording status</source>
        <translation>Recording status</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>%1 plot</source>
        <translation>%1 plot</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value under the pointer</source>
        <translation>Value under the pointer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Point at a line for its value and time</source>
        <translation>Point at a line for its value and time</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Values to plot</source>
        <translation>Values to plot</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plot</source>
        <translation>Plot</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minutes shown</source>
        <translation>Minutes shown</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Window</source>
        <translation>Window</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>Traffic (last %1 frames)</source>
        <translation>Traffic (last %1 frames)</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+63"/>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="-62"/>
        <source>Clear</source>
        <translation>Clear</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save as text…</source>
        <translation>Save as text…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Capture line</source>
        <translation>Capture line</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save the last %1 minutes…</source>
        <translation>Save the last %1 minutes…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Capture status</source>
        <translation>Capture status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Traffic</source>
        <translation>Traffic</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <location filename="../app/mainwin.cpp" line="+1"/>
        <location filename="../app/monitor_window.cpp" line="+37"/>
        <location line="+326"/>
        <location line="+11"/>
        <location line="+17"/>
        <source>Capture</source>
        <translation>Capture</translation>
    </message>
    <message>
        <location filename="../app/monitor_window.cpp" line="-399"/>
        <location line="+63"/>
        <source>Resume</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+8"/>
        <source>Save traffic</source>
        <translation>Save traffic</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Text (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>No good reply yet</source>
        <translation>No good reply yet</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Line healthy: replies arriving</source>
        <translation>Line healthy: replies arriving</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No good reply for %1 s</source>
        <translation>No good reply for %1 s</translation>
    </message>
    <message>
        <location line="-349"/>
        <location line="+388"/>
        <source>no unit</source>
        <translation>no unit</translation>
    </message>
    <message>
        <location line="+113"/>
        <source>Stop recording</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Record status values…</source>
        <translation>Record status values…</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Recording to %1: %2 rows</source>
        <translation>Recording to %1: %2 rows</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not recording</source>
        <translation>Not recording</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Recorded %1 rows to %2</source>
        <translation>Recorded %1 rows to %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Capturing to %1: %2 packets</source>
        <translation>Capturing to %1: %2 packets</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not capturing</source>
        <translation>Not capturing</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Captured %1 packets to %2</source>
        <translation>Captured %1 packets to %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+13"/>
        <source>Captures (*.pcapng)</source>
        <translation>Captures (*.pcapng)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Saved the last minutes to %1</source>
        <translation>Saved the last minutes to %1</translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <location filename="../app/options.cpp" line="+31"/>
        <source>open COM N (1..20) on DEVICE; repeatable</source>
        <translation>open COM N (1..20) on DEVICE; repeatable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>bind COM4 to the built-in simulated controller and open it</source>
        <translation>bind COM4 to the built-in simulated controller and open it</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>print the serial devices present, one a line, and exit</source>
        <translation>print the serial devices present, one a line, and exit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>reconnect automatically when the device goes and comes back</source>
        <translation>reconnect automatically when the device goes and comes back</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>render every panel and page to PNG in DIR and exit</source>
        <translation>render every panel and page to PNG in DIR and exit</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>open the port (panel settings) and poll S seconds before the pictures</source>
        <translation>open the port (panel settings) and poll S seconds before the pictures</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>open the monitor window at start</source>
        <translation>open the monitor window at start</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>record every status reply to FILE.csv for the whole run</source>
        <translation>record every status reply to FILE.csv for the whole run</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>capture every frame on the line to FILE.pcapng for the whole run</source>
        <translation>capture every frame on the line to FILE.pcapng for the whole run</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>the language of this run: shipped (the panels as shipped), en or zh_CN</source>
        <translation>the language of this run: shipped (the panels as shipped), en or zh_CN</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>play a capture of the line back in place of a port; nothing is written</source>
        <translation>play a capture of the line back in place of a port; nothing is written</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the pace of --replay against the captured one (1)</source>
        <translation>the pace of --replay against the captured one (1)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>show this text</source>
        <translation>show this text</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>print the version and exit</source>
        <translation>print the version and exit</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>line-rate polling on for this run (effective at %1)</source>
        <translation>line-rate polling on for this run (effective at %1)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>usage: drive-console [options]</source>
        <translation>usage: drive-console [options]</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>unknown argument &apos;%1&apos;</source>
        <translation>unknown argument &apos;%1&apos;</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>bad --com value &apos;%1&apos;: %2</source>
        <translation>bad --com value &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>bad --com value &apos;%1&apos; (expected N=DEVICE with N in 1..20)</source>
        <translation>bad --com value &apos;%1&apos; (expected N=DEVICE with N in 1..20)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>bad --screenshot-delay value &apos;%1&apos; (seconds, 0..86400)</source>
        <translation>bad --screenshot-delay value &apos;%1&apos; (seconds, 0..86400)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>--record needs a file name</source>
        <translation>--record needs a file name</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>bad --lang value &apos;%1&apos; (shipped, en or zh_CN)</source>
        <translation>bad --lang value &apos;%1&apos; (shipped, en or zh_CN)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>--capture needs a file name</source>
        <translation>--capture needs a file name</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>bad --replay-speed value &apos;%1&apos; (1, 2, 5, 10 or max)</source>
        <translation>bad --replay-speed value &apos;%1&apos; (1, 2, 5, 10 or max)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>--replay-speed needs --replay FILE</source>
        <translation>--replay-speed needs --replay FILE</translation>
    </message>
</context>
<context>
    <name>PageCallbacks</name>
    <message>
        <location filename="../pages/page_callbacks.cpp" line="+85"/>
        <source>Value out of range, nothing sent.
Accepted range: %1</source>
        <translation>Value out of range, nothing sent.
Accepted range: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>ParameterSets</name>
    <message>
        <location filename="../app/parameter_sets_window.cpp" line="+66"/>
        <source>Parameters</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>The port is not open: choose %1 and press %2 first.</source>
        <translation>The port is not open: choose %1 and press %2 first.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>%1 registers saved to %2</source>
        <translation>%1 registers saved to %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nothing saved: %1</source>
        <translation>Nothing saved: %1</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Save the controller&apos;s parameters to a backup file before the factory settings are restored?

Yes saves them to %1, No goes on without a backup, Cancel restores nothing.</source>
        <translation>Save the controller&apos;s parameters to a backup file before the factory settings are restored?

Yes saves them to %1, No goes on without a backup, Cancel restores nothing.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>No backup was saved, nothing is restored:
%1</source>
        <translation>No backup was saved, nothing is restored:
%1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The file was not loaded, nothing is written:
%1</source>
        <translation>The file was not loaded, nothing is written:
%1</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Save parameters…</source>
        <translation>Save parameters…</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Save parameters</source>
        <translation>Save parameters</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>Parameter sets (*.json)</source>
        <translation>Parameter sets (*.json)</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Compare with file…</source>
        <translation>Compare with file…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Compare with file</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Compare with %1</source>
        <translation>Compare with %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   saved %1</source>
        <translation>   saved %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   note: %1</source>
        <translation>   note: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Write</source>
        <translation>Write</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Register</source>
        <translation>Register</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Page</source>
        <translation>Page</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Caption</source>
        <translation>Caption</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Controller</source>
        <translation>Controller</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Unit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Outcome</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>A command or test switch: never written from a file</source>
        <translation>A command or test switch: never written from a file</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>never written from a file</source>
        <translation>never written from a file</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>&amp;Read controller again</source>
        <translation>&amp;Read controller again</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Write checked</source>
        <translation>&amp;Write checked</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Only rows that differ or were written</source>
        <translation>&amp;Only rows that differ or were written</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Writing %1 of %2…</source>
        <translation>Writing %1 of %2…</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Reading the controller…</source>
        <translation>Reading the controller…</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The controller was not read: %1</source>
        <translation>The controller was not read: %1</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>%1 of %2 registers differ; %3 checked to write.</source>
        <translation>%1 of %2 registers differ; %3 checked to write.</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Reading the controller before writing…</source>
        <translation>Reading the controller before writing…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>nothing written, the controller was not read: %1</source>
        <translation>nothing written, the controller was not read: %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>nothing written, the backup could not be saved: %1</source>
        <translation>nothing written, the backup could not be saved: %1</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>%1 of %2 written registers confirmed by reading back.</source>
        <translation>%1 of %2 written registers confirmed by reading back.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nothing written.</source>
        <translation>Nothing written.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> %1 not written: declined.</source>
        <translation> %1 not written: declined.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Backup: %1</source>
        <translation> Backup: %1</translation>
    </message>
</context>
<context>
    <name>PortPanel</name>
    <message>
        <location filename="../pages/sample5.cpp" line="+42"/>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="+57"/>
        <location filename="../serial/port_open.cpp" line="+84"/>
        <source>close failed!</source>
        <translation>close failed!</translation>
    </message>
    <message>
        <location filename="../serial/port_open.cpp" line="+20"/>
        <source>config failed!</source>
        <translation>config failed!</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Error Setting Com Time</source>
        <translation>Error Setting Com Time</translation>
    </message>
    <message>
        <location filename="../pages/sample5.cpp" line="+78"/>
        <source>connecting</source>
        <translation>connecting</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>connected</source>
        <translation>connected</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>not connected</source>
        <translation>not connected</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>config failed! %1</source>
        <translation>config failed! %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>; settings are the server&apos;s</source>
        <translation>; settings are the server&apos;s</translation>
    </message>
    <message>
        <location line="+19"/>
        <source> (command line)</source>
        <translation> (command line)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>waiting for %1</source>
        <translation>waiting for %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>no such device</source>
        <translation>no such device</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Device for COM%1</source>
        <translation>Device for COM%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Device	Stable name	Description</source>
        <translation>Device	Stable name	Description</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Network device…</source>
        <translation>Network device…</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>RFC 2217 (rfc2217://), settings sent from here</source>
        <translation>RFC 2217 (rfc2217://), settings sent from here</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>raw TCP (tcp://), settings are the server&apos;s</source>
        <translation>raw TCP (tcp://), settings are the server&apos;s</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Network device for COM%1</source>
        <translation>Network device for COM%1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>network device, used lately</source>
        <translation>network device, used lately</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>host, port and kind of a serial device server</source>
        <translation>host, port and kind of a serial device server</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+18"/>
        <source>The choice holds until the console ends, but it could not be kept: %1</source>
        <translation>The choice holds until the console ends, but it could not be kept: %1</translation>
    </message>
    <message>
        <location filename="../platform/ui/qt/qt_backend.cpp" line="+137"/>
        <source>name, 192.0.2.10 or [2001:db8::10]</source>
        <translation>name, 192.0.2.10 or [2001:db8::10]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Kind</source>
        <translation>Kind</translation>
    </message>
</context>
<context>
    <name>ReplayWindow</name>
    <message>
        <location filename="../app/replay_window.cpp" line="+50"/>
        <source>max</source>
        <translation>max</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Replay of %1</source>
        <translation>Replay of %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Replay</source>
        <translation>Replay</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pause or resume</source>
        <translation>Pause or resume</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Captured time</source>
        <translation>Captured time</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <source>Speed</source>
        <translation>Speed</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Captured time now</source>
        <translation>Captured time now</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What is played</source>
        <translation>What is played</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Play</source>
        <translation>Play</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>end of capture</source>
        <translation>end of capture</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Playing %1 (port opening %2 of %3), paused</source>
        <translation>Playing %1 (port opening %2 of %3), paused</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Playing %1 (port opening %2 of %3)</source>
        <translation>Playing %1 (port opening %2 of %3)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Playing %1, paused</source>
        <translation>Playing %1, paused</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Playing %1</source>
        <translation>Playing %1</translation>
    </message>
    <message>
        <location line="+95"/>
        <source>replay of %1</source>
        <translation>replay of %1</translation>
    </message>
</context>
<context>
    <name>ReportWindow</name>
    <message>
        <location filename="../app/report_window.cpp" line="+70"/>
        <source>Reading the parameters…</source>
        <translation>Reading the parameters…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+110"/>
        <source>Service report</source>
        <translation>Service report</translation>
    </message>
    <message>
        <location line="-68"/>
        <source>Drawing the panels…</source>
        <translation>Drawing the panels…</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Writing the report…</source>
        <translation>Writing the report…</translation>
    </message>
    <message>
        <location line="+45"/>
        <location line="+3"/>
        <source>Save service report</source>
        <translation>Save service report</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark the parameters that differ from a reference set?</source>
        <translation>Mark the parameters that differ from a reference set?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reference set</source>
        <translation>Reference set</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Parameter sets (*.json)</source>
        <translation>Parameter sets (*.json)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The report is in %1</source>
        <translation>The report is in %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No report written: %1</source>
        <translation>No report written: %1</translation>
    </message>
</context>
<context>
    <name>WriteGuard</name>
    <message>
        <location filename="../pages/write_guard.cpp" line="+112"/>
        <source>The controller has not answered a status read in the last 2 s, so its state is unknown.</source>
        <translation>The controller has not answered a status read in the last 2 s, so its state is unknown.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The motor is turning (%1).</source>
        <translation>The motor is turning (%1).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>A fault is active: %1.</source>
        <translation>A fault is active: %1.</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Motor test refused</source>
        <translation>Motor test refused</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The motor test was not started, nothing was sent.

%1</source>
        <translation>The motor test was not started, nothing was sent.

%1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>1 change not stored in the controller</source>
        <translation>1 change not stored in the controller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 changes not stored in the controller</source>
        <translation>%1 changes not stored in the controller</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Start motor test</source>
        <translation>Start motor test</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Start the motor test with these values?
%1

The motor may move. %2 (Esc) on the %3 panel ends the test.</source>
        <translation>Start the motor test with these values?
%1

The motor may move. %2 (Esc) on the %3 panel ends the test.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Restore the factory settings?

All parameters revert to their factory values. The controller must then be powered off and on again.</source>
        <translation>Restore the factory settings?

All parameters revert to their factory values. The controller must then be powered off and on again.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hall-fault mask</source>
        <translation>Hall-fault mask</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Turn the hall-fault mask on?

The controller then no longer reports hall sensor faults, and a motor with a broken hall sensor may run badly.</source>
        <translation>Turn the hall-fault mask on?

The controller then no longer reports hall sensor faults, and a motor with a broken hall sensor may run badly.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Motor test</source>
        <translation>Motor test</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop the motor test?

The last confirmed test enable was 1.
Yes sends STOP, No leaves the test running, Cancel stays here.</source>
        <translation>Stop the motor test?

The last confirmed test enable was 1.
Yes sends STOP, No leaves the test running, Cancel stays here.</translation>
    </message>
</context>
</TS>
