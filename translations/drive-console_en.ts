<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
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
