// The commands' part of --help, one text for each command and each group of
// options, in the command's language (app/command_language.h).
#include <QCoreApplication>

#include "app/command_line.h"

namespace {

const char* const kUsage[] = {
    QT_TRANSLATE_NOOP("Commands", "commands (no display needed):\n"),
    QT_TRANSLATE_NOOP("Commands",
                      "  drive-console dump    --device PATH [port options] [--out FILE] [--note TEXT]\n"
                      "      read the controller's parameter set; write it to FILE or to standard output\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  drive-console verify  FILE --device PATH [port options]\n"
        "      print each parameter that differs from FILE; exit 1 if any does. The command and\n"
        "      test registers (2650, 2651, 2654, 2655) are listed as not compared\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  drive-console restore FILE --device PATH [port options] [--only REG[,REG...]] [--dry-run]\n"
        "                        [--allow-hall-fault-mask]\n"
        "      save the controller's parameters to a backup, write the parameters that differ\n"
        "      from FILE (or only those named), read the pages back and print the outcome of\n"
        "      each; every write goes to the journal. --dry-run writes nothing. The command and\n"
        "      test registers are never written\n"
        "      --allow-hall-fault-mask  let the file turn the hall-fault mask (2662) on; without\n"
        "                               it such a file is refused and nothing is written\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  drive-console watch   --device PATH [port options] [--duration S] [--out FILE.csv]\n"
        "                        [--fast-line]\n"
        "      write the password, then poll only the status block and print each fault event\n"
        "      (ON, OFF, lost) as it happens, until S seconds have passed or Ctrl-C; every event\n"
        "      also goes to faults.csv in the state folder. Exit status: 0 no fault bit was on,\n"
        "      1 a fault was seen, 2 no answer from the controller and no fault seen, 3 bad\n"
        "      arguments, or a file that cannot be written and no fault seen\n"),
    QT_TRANSLATE_NOOP("Commands",
                      "  --replay FILE.pcapng  (dump, watch) in place of --device: a capture of the line\n"
                      "               played back as fast as it can be read; dump gives the set of its last\n"
                      "               page reads and names the pages it never read, watch its fault events\n"
                      "               with their captured times (faults.csv is left alone)\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  watch options:\n"
        "  --duration S         stop after S seconds (default: at Ctrl-C)\n"
        "  --out FILE.csv       write the events to FILE.csv too, in the format of faults.csv\n"
        "  --fast-line          line-rate polling: a status read about every 0.05 s, not 0.5 s\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  drive-console serve   --device PATH | --simulate [port options] [--fast-line]\n"
        "                        [--capture FILE.pcapng]\n"
        "      write the password, poll as the window does and answer JSON-RPC 2.0 requests on\n"
        "      standard input, one JSON text per line each way (see the manual page for the\n"
        "      methods); messages go to standard error. Ends at the end of input or at\n"
        "      console.shutdown; exit status 0, or 2 when the controller never answered.\n"
        "      --simulate serves the built-in simulated controller\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  drive-console report  --device PATH [port options] [--duration S] [--reference SET.json]\n"
        "                        [--out FILE.zip] [--fast-line]\n"
        "  drive-console report  --replay FILE.pcapng [--reference SET.json] [--out FILE.zip]\n"
        "      write the password, poll the status block for S seconds (30), read the parameters and\n"
        "      write a service report: a zip with report.html (one page for a browser), the\n"
        "      parameters as dump writes them, the fault events, the writes, the status values,\n"
        "      the capture of the line, its counters and what the console and the port are.\n"
        "      Prints the zip's name. Exit status: 0 written, 2 no answer from the controller,\n"
        "      3 bad arguments, a reference that cannot be read or a file that cannot be written\n"
        "      (no file is left in either case)\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  report options:\n"
        "  --reference SET.json mark the parameters that differ from this set, with both values\n"
        "  --out FILE.zip       where the report goes (default: drive-report-<time>.zip here)\n"
        "  --replay FILE.pcapng make the report from a capture instead of a line: its status\n"
        "                       replies, faults and counters, and its last reads of the\n"
        "                       parameters (2 when it holds no status reply or no such read)\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  port options: --baud B (19200) --parity none|odd|even (odd) --data-bits 7|8 (8)\n"
        "                --stop-bits 1|2 (1) --timeout S (10: give up when the controller is silent)\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  --capture FILE.pcapng  (every command) every frame on the line to FILE.pcapng; a file\n"
        "               that cannot be created stops the command before the port opens (3), one\n"
        "               that fails on the way stops the capture, and the command goes on to end\n"
        "               with 3 unless it found differences or a fault (1)\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  --lang LANG  (every command) the language of the messages and of the usage text:\n"
        "               shipped or en (English) or zh_CN; without it the one the window keeps.\n"
        "               Files, standard output and exit statuses are the same in every one\n"),
    QT_TRANSLATE_NOOP(
        "Commands",
        "  exit status of dump, verify and restore: 0 done, 1 differences remain, 2 no answer\n"
        "               from the controller, 3 bad arguments or file, a refused file or no backup\n"
        "               (nothing is written), or a capture that could not be written\n"),
};

}  // namespace

std::string CommandUsage()
{
    std::string usage;
    for (const char* block : kUsage) usage += QCoreApplication::translate("Commands", block).toStdString();
    return usage;
}
