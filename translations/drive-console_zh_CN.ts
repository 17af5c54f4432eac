<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>FaultWindow</name>
    <message>
        <location filename="../app/fault_window.cpp" line="+107"/>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Event</source>
        <translation>事件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fault</source>
        <translation>故障</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Register</source>
        <translation>寄存器</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Duration</source>
        <translation>持续时间</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>First-out</source>
        <translation>首发故障</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>still on</source>
        <translation>仍存在</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 s, link lost</source>
        <translation>%1 秒，通信中断</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>yes</source>
        <translation>是</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>no</source>
        <translation>否</translation>
    </message>
    <message>
        <location line="+113"/>
        <source>%1 bit %2. </source>
        <translation>%1 第 %2 位。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Not on since the console started.</source>
        <translation>控制台启动以来未出现。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>On since %1.</source>
        <translation>自 %1 起存在。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Last on %1 for %2 s (then the link was lost).</source>
        <translation>上次出现于 %1，持续 %2 秒（随后通信中断）。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Last on %1 for %2 s.</source>
        <translation>上次出现于 %1，持续 %2 秒。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> Not on since the port was opened.</source>
        <translation> 串口打开以来未出现。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Once since the port was opened.</source>
        <translation> 串口打开以来出现 1 次。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> %1 times since the port was opened.</source>
        <translation> 串口打开以来出现 %1 次。</translation>
    </message>
    <message>
        <location line="+83"/>
        <location line="+1"/>
        <location line="+243"/>
        <source>Fault history</source>
        <translation>故障记录</translation>
    </message>
    <message>
        <location line="-242"/>
        <source>Time resolution</source>
        <translation>时间精度</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Save as CSV…</source>
        <translation>保存为 CSV…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save as CSV</source>
        <translation>保存为 CSV</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>Clear list</source>
        <translation>清空列表</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Journal: nothing is written during a replay</source>
        <translation>记录文件：回放期间不写入</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+199"/>
        <source>Journal: %1</source>
        <translation>记录文件：%1</translation>
    </message>
    <message>
        <location line="-205"/>
        <source>Journal</source>
        <translation>记录文件</translation>
    </message>
    <message>
        <location line="-297"/>
        <source>ON</source>
        <comment>fault event: the fault came on</comment>
        <translation>出现</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>OFF</source>
        <comment>fault event: the fault went off</comment>
        <translation>消除</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>lost</source>
        <comment>fault event: the link was lost while the fault was on</comment>
        <translation>链路丢失</translation>
    </message>
    <message>
        <location line="+341"/>
        <source>Events, newest first (the last %1 here; faults.csv keeps all)</source>
        <translation>事件，最新在前（此处显示最近 %1 条；faults.csv 保存全部）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Fault events</source>
        <translation>故障事件</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>Freeze frame: the status values of the onset reply</source>
        <translation>冻结帧：故障出现时应答中的状态值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Freeze frame of</source>
        <translation>冻结帧</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Freeze frame</source>
        <translation>冻结帧</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>At the onset</source>
        <translation>故障出现时</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>No onset in the list. Select an event to see the status values at its onset.</source>
        <translation>列表中没有故障出现事件。选择一个事件可查看其出现时的状态值。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 (%2) came on at %3</source>
        <translation>%1（%2）出现于 %3</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>, first-out</source>
        <translation>，首发故障</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>, not first-out</source>
        <translation>，非首发故障</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Newest onset: %1</source>
        <translation>最近出现：%1</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>now a status read every %1 s</source>
        <translation>当前每 %1 秒读取一次状态</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>no status replies now</source>
        <translation>当前无状态应答</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Times are those of the status replies, so each is exact to one status read interval: %1 (0.5 s on the standard passes, about 0.05 s with line-rate polling).</source>
        <translation>时间取自状态应答，精确到一个状态读取周期：%1（标准轮询 0.5 秒，全速轮询约 0.05 秒）。</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+11"/>
        <source>Save fault events</source>
        <translation>保存故障事件</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>CSV (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>%1 (the fault history goes on; its lines are kept until it can be written)</source>
        <translation>%1（故障记录继续进行，记录行保留至可以写入为止）</translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <location filename="../app/help_windows.cpp" line="+122"/>
        <source>Parameter reference</source>
        <translation>参数一览</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Search register, page, caption or unit</source>
        <translation>搜索寄存器、页面、名称或单位</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Register</source>
        <translation>寄存器</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Page</source>
        <translation>页面</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Caption</source>
        <translation>名称</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Scale</source>
        <translation>比例</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value</source>
        <translation>数值</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>On the debug panel</source>
        <translation>调试面板上</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>%1 of %2 registers</source>
        <translation>%1 / %2 个寄存器</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Drive Service Console
Version %1

Port:
</source>
        <translation>驱动器维护控制台
版本 %1

串口：
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>

Network devices:%1</source>
        <translation>

网络设备：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>

Settings:
%1

Journals, backups and state:
%2</source>
        <translation>

设置：
%1

记录、备份和状态：
%2</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>About</source>
        <translation>关于</translation>
    </message>
</context>
<context>
    <name>Language</name>
    <message>
        <location filename="../app/language.cpp" line="+93"/>
        <source>The language could not be kept in %1. It holds for this run.</source>
        <translation>无法将语言保存到 %1。本次运行有效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message>
        <location line="+99"/>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>As shipped</source>
        <translation>出厂原样</translation>
    </message>
</context>
<context>
    <name>LineSettings</name>
    <message>
        <location filename="../app/line_settings.cpp" line="+70"/>
        <source>The line-rate settings could not be kept in %1. They hold for this run.</source>
        <translation>无法将全速轮询设置保存到 %1，仅本次运行有效。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>LinkStatus</name>
    <message>
        <location filename="../engine/link_status.cpp" line="+44"/>
        <source>port closed</source>
        <translation>串口已关闭</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>replying</source>
        <translation>应答正常</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>NO REPLY for %1 s</source>
        <translation>%1 秒无应答</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>unlocked</source>
        <translation>已解锁</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>locked</source>
        <translation>未解锁</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwin.cpp" line="+84"/>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>MonitorWindow</name>
    <message>
        <location filename="../app/monitor_window.cpp" line="+257"/>
        <location line="+1"/>
        <source>Line monitor</source>
        <translation>通信监视</translation>
    </message>
    <message>
        <location filename="../app/mainwin.cpp" line="+163"/>
        <location filename="../app/monitor_window.cpp" line="+143"/>
        <location line="+175"/>
        <location line="+282"/>
        <source>Recording</source>
        <translation>记录</translation>
    </message>
    <message>
        <location filename="../app/monitor_window.cpp" line="-512"/>
        <location line="+1"/>
        <source>Link health</source>
        <translation>通信状况</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>Capture line…</source>
        <translation>抓取通信报文…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop capture</source>
        <translation>停止抓包</translation>
    </message>
    <message>
        <location line="+264"/>
        <source>Requests</source>
        <translation>请求数</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Replies accepted</source>
        <translation>有效应答</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Time-outs</source>
        <translation>超时</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>CRC or length rejects</source>
        <translation>CRC 或长度错误</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Exception replies</source>
        <translation>异常应答</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Other rejects</source>
        <translation>其他错误</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Password writes</source>
        <translation>密码写入</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Port errors</source>
        <translation>串口错误</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Response time, last</source>
        <translation>响应时间（最近）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Response time, min</source>
        <translation>响应时间（最小）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Response time, mean</source>
        <translation>响应时间（平均）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Response time, max</source>
        <translation>响应时间（最大）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Bytes sent</source>
        <translation>发送字节数</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bytes received</source>
        <translation>接收字节数</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Last good reply</source>
        <translation>最近有效应答</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <source>Reset counters</source>
        <translation>计数清零</translation>
    </message>
    <message>
        <location line="+20"/>
        <location line="+451"/>
        <source>Record status values</source>
        <translation>记录状态值</translation>
    </message>
    <message>
        <location line="-450"/>
        <source>Recording status</source>
        <translation>记录状态</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>%1 plot</source>
        <translation>%1曲线图</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Value under the pointer</source>
        <translation>光标处数值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Point at a line for its value and time</source>
        <translation>将光标指向曲线可查看数值和时间</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Values to plot</source>
        <translation>曲线数据</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plot</source>
        <translation>曲线</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Minutes shown</source>
        <translation>显示分钟数</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Window</source>
        <translation>时间窗</translation>
    </message>
    <message>
        <location line="+68"/>
        <source>Traffic (last %1 frames)</source>
        <translation>通信报文（最近 %1 帧）</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+63"/>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <location line="-62"/>
        <source>Clear</source>
        <translation>清空</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Save as text…</source>
        <translation>保存为文本…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Capture line</source>
        <translation>抓取通信报文</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Save the last %1 minutes…</source>
        <translation>保存最近 %1 分钟…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Capture status</source>
        <translation>抓包状态</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Traffic</source>
        <translation>通信报文</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <location filename="../app/mainwin.cpp" line="+1"/>
        <location filename="../app/monitor_window.cpp" line="+37"/>
        <location line="+326"/>
        <location line="+11"/>
        <location line="+17"/>
        <source>Capture</source>
        <translation>抓包</translation>
    </message>
    <message>
        <location filename="../app/monitor_window.cpp" line="-399"/>
        <location line="+63"/>
        <source>Resume</source>
        <translation>继续</translation>
    </message>
    <message>
        <location line="+19"/>
        <location line="+8"/>
        <source>Save traffic</source>
        <translation>保存通信报文</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Text (*.txt)</source>
        <translation>文本文件 (*.txt)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>No good reply yet</source>
        <translation>尚无有效应答</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Line healthy: replies arriving</source>
        <translation>通信正常：应答正常到达</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No good reply for %1 s</source>
        <translation>%1 秒无有效应答</translation>
    </message>
    <message>
        <location line="-349"/>
        <location line="+388"/>
        <source>no unit</source>
        <translation>无单位</translation>
    </message>
    <message>
        <location line="+113"/>
        <source>Stop recording</source>
        <translation>停止记录</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Record status values…</source>
        <translation>记录状态值…</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Recording to %1: %2 rows</source>
        <translation>正在记录到 %1：%2 行</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not recording</source>
        <translation>未记录</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Recorded %1 rows to %2</source>
        <translation>已记录 %1 行到 %2</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>CSV (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Capturing to %1: %2 packets</source>
        <translation>正在抓包到 %1：%2 个包</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Not capturing</source>
        <translation>未抓包</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Captured %1 packets to %2</source>
        <translation>已抓取 %1 个包到 %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+13"/>
        <source>Captures (*.pcapng)</source>
        <translation>抓包文件 (*.pcapng)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Saved the last minutes to %1</source>
        <translation>已将最近几分钟保存到 %1</translation>
    </message>
</context>
<context>
    <name>PageCallbacks</name>
    <message>
        <location filename="../pages/page_callbacks.cpp" line="+85"/>
        <source>Value out of range, nothing sent.
Accepted range: %1</source>
        <translation>数值超出范围，未发送。
允许范围：%1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Error</source>
        <translation>错误</translation>
    </message>
</context>
<context>
    <name>ParameterSets</name>
    <message>
        <location filename="../app/parameter_sets_window.cpp" line="+66"/>
        <source>Parameters</source>
        <translation>参数</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>The port is not open: choose %1 and press %2 first.</source>
        <translation>串口未打开：请先选择“%1”并按“%2”。</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>%1 registers saved to %2</source>
        <translation>%1 个寄存器已保存到 %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Nothing saved: %1</source>
        <translation>未保存：%1</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Save the controller&apos;s parameters to a backup file before the factory settings are restored?

Yes saves them to %1, No goes on without a backup, Cancel restores nothing.</source>
        <translation>恢复出厂设置前，是否将控制器参数保存到备份文件？

“是”保存到 %1，“否”不备份继续，“取消”不恢复。</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>No backup was saved, nothing is restored:
%1</source>
        <translation>未保存备份，未恢复出厂设置：
%1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>The file was not loaded, nothing is written:
%1</source>
        <translation>文件未载入，未写入任何参数：
%1</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Save parameters…</source>
        <translation>保存参数…</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Save parameters</source>
        <translation>保存参数</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>Parameter sets (*.json)</source>
        <translation>参数文件 (*.json)</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Compare with file…</source>
        <translation>与文件比较…</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Compare with file</source>
        <translation>与文件比较</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Compare with %1</source>
        <translation>与 %1 比较</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File: %1</source>
        <translation>文件：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   saved %1</source>
        <translation>   保存于 %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>   note: %1</source>
        <translation>   备注：%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Write</source>
        <translation>写入</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Register</source>
        <translation>寄存器</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Page</source>
        <translation>页面</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Caption</source>
        <translation>名称</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Controller</source>
        <translation>控制器</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Unit</source>
        <translation>单位</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Outcome</source>
        <translation>结果</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>A command or test switch: never written from a file</source>
        <translation>命令或测试开关：从不由文件写入</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>never written from a file</source>
        <translation>从不由文件写入</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>&amp;Read controller again</source>
        <translation>重新读取控制器(&amp;R)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Write checked</source>
        <translation>写入选中项(&amp;W)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>&amp;Only rows that differ or were written</source>
        <translation>只显示不同或已写入的行(&amp;O)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Writing %1 of %2…</source>
        <translation>正在写入 %1 / %2…</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>Reading the controller…</source>
        <translation>正在读取控制器…</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The controller was not read: %1</source>
        <translation>未能读取控制器：%1</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>%1 of %2 registers differ; %3 checked to write.</source>
        <translation>%2 个寄存器中 %1 个不同；已选中 %3 个待写入。</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Reading the controller before writing…</source>
        <translation>写入前正在读取控制器…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>nothing written, the controller was not read: %1</source>
        <translation>未写入：无法读取控制器：%1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>nothing written, the backup could not be saved: %1</source>
        <translation>未写入：无法保存备份：%1</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>%1 of %2 written registers confirmed by reading back.</source>
        <translation>已写入的 %2 个寄存器中 %1 个经回读确认。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Nothing written.</source>
        <translation>未写入。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> %1 not written: declined.</source>
        <translation> %1 个未写入：已拒绝。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> Backup: %1</source>
        <translation> 备份：%1</translation>
    </message>
</context>
<context>
    <name>PortPanel</name>
    <message>
        <location filename="../pages/sample5.cpp" line="+42"/>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <location line="+57"/>
        <location filename="../serial/port_open.cpp" line="+84"/>
        <source>close failed!</source>
        <translation>关闭串口失败！</translation>
    </message>
    <message>
        <location filename="../serial/port_open.cpp" line="+20"/>
        <source>config failed!</source>
        <translation>串口配置失败！</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Error Setting Com Time</source>
        <translation>设置串口超时出错</translation>
    </message>
    <message>
        <location filename="../pages/sample5.cpp" line="+78"/>
        <source>connecting</source>
        <translation>正在连接</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>connected</source>
        <translation>已连接</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>not connected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>config failed! %1</source>
        <translation>串口配置失败！%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>; settings are the server&apos;s</source>
        <translation>；参数由串口服务器设定</translation>
    </message>
    <message>
        <location line="+19"/>
        <source> (command line)</source>
        <translation>（命令行）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>waiting for %1</source>
        <translation>正在等待 %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>no such device</source>
        <translation>设备不存在</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Device for COM%1</source>
        <translation>COM%1 的设备</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Device	Stable name	Description</source>
        <translation>设备	固定名称	说明</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Network device…</source>
        <translation>网络设备…</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>RFC 2217 (rfc2217://), settings sent from here</source>
        <translation>RFC 2217 (rfc2217://)，由本机发送串口参数</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>raw TCP (tcp://), settings are the server&apos;s</source>
        <translation>原始 TCP (tcp://)，参数由服务器设定</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Network device for COM%1</source>
        <translation>COM%1 的网络设备</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>network device, used lately</source>
        <translation>网络设备，最近使用</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>host, port and kind of a serial device server</source>
        <translation>串口服务器的主机、端口和类型</translation>
    </message>
    <message>
        <location line="+31"/>
        <location line="+18"/>
        <source>The choice holds until the console ends, but it could not be kept: %1</source>
        <translation>此选择在控制台关闭前有效，但无法保存：%1</translation>
    </message>
    <message>
        <location filename="../platform/ui/qt/qt_backend.cpp" line="+137"/>
        <source>name, 192.0.2.10 or [2001:db8::10]</source>
        <translation>主机名、192.0.2.10 或 [2001:db8::10]</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Host</source>
        <translation>主机</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Kind</source>
        <translation>类型</translation>
    </message>
</context>
<context>
    <name>ReplayWindow</name>
    <message>
        <location filename="../app/replay_window.cpp" line="+50"/>
        <source>max</source>
        <translation>最快</translation>
    </message>
    <message>
        <location line="+93"/>
        <source>Replay of %1</source>
        <translation>回放 %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Replay</source>
        <translation>回放</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pause or resume</source>
        <translation>暂停或继续</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Captured time</source>
        <translation>抓包时间</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+5"/>
        <source>Speed</source>
        <translation>速度</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>Captured time now</source>
        <translation>当前抓包时间</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>What is played</source>
        <translation>正在回放的内容</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>end of capture</source>
        <translation>抓包已结束</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Playing %1 (port opening %2 of %3), paused</source>
        <translation>正在回放 %1（第 %2 次打开串口，共 %3 次），已暂停</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Playing %1 (port opening %2 of %3)</source>
        <translation>正在回放 %1（第 %2 次打开串口，共 %3 次）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Playing %1, paused</source>
        <translation>正在回放 %1，已暂停</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Playing %1</source>
        <translation>正在回放 %1</translation>
    </message>
    <message>
        <location line="+95"/>
        <source>replay of %1</source>
        <translation>回放 %1</translation>
    </message>
</context>
<context>
    <name>ReportWindow</name>
    <message>
        <location filename="../app/report_window.cpp" line="+70"/>
        <source>Reading the parameters…</source>
        <translation>正在读取参数…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+110"/>
        <source>Service report</source>
        <translation>服务报告</translation>
    </message>
    <message>
        <location line="-68"/>
        <source>Drawing the panels…</source>
        <translation>正在绘制面板…</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Writing the report…</source>
        <translation>正在写入报告…</translation>
    </message>
    <message>
        <location line="+45"/>
        <location line="+3"/>
        <source>Save service report</source>
        <translation>保存服务报告</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Mark the parameters that differ from a reference set?</source>
        <translation>是否标出与参考参数集不同的参数？</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reference set</source>
        <translation>参考参数集</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Parameter sets (*.json)</source>
        <translation>参数集文件 (*.json)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The report is in %1</source>
        <translation>报告已保存在 %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No report written: %1</source>
        <translation>未写入报告：%1</translation>
    </message>
</context>
<context>
    <name>WriteGuard</name>
    <message>
        <location filename="../pages/write_guard.cpp" line="+112"/>
        <source>The controller has not answered a status read in the last 2 s, so its state is unknown.</source>
        <translation>控制器最近 2 秒未应答状态读取，状态未知。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>The motor is turning (%1).</source>
        <translation>电机正在转动（%1）。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>A fault is active: %1.</source>
        <translation>存在故障：%1。</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>Motor test refused</source>
        <translation>电机测试被拒绝</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The motor test was not started, nothing was sent.

%1</source>
        <translation>电机测试未启动，未发送任何指令。

%1</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>1 change not stored in the controller</source>
        <translation>1 项修改未保存到控制器</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 changes not stored in the controller</source>
        <translation>%1 项修改未保存到控制器</translation>
    </message>
    <message>
        <location line="+75"/>
        <source>Start motor test</source>
        <translation>启动电机测试</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Start the motor test with these values?
%1

The motor may move. %2 (Esc) on the %3 panel ends the test.</source>
        <translation>按以下给定值启动电机测试？
%1

电机可能转动。按“%3”面板上的“%2”（Esc）结束测试。</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Restore the factory settings?

All parameters revert to their factory values. The controller must then be powered off and on again.</source>
        <translation>恢复出厂设置？

所有参数将恢复为出厂值。之后控制器必须断电重启。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Hall-fault mask</source>
        <translation>霍尔故障屏蔽</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Turn the hall-fault mask on?

The controller then no longer reports hall sensor faults, and a motor with a broken hall sensor may run badly.</source>
        <translation>开启霍尔故障屏蔽？

开启后控制器不再报告霍尔传感器故障，霍尔传感器损坏的电机可能运行异常。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Motor test</source>
        <translation>电机测试</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop the motor test?

The last confirmed test enable was 1.
Yes sends STOP, No leaves the test running, Cancel stays here.</source>
        <translation>停止电机测试？

最近确认的测试使能为 1。
“是”发送停止，“否”保持测试运行，“取消”留在此处。</translation>
    </message>
</context>
</TS>
