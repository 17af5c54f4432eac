<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>uir/PANEL_COM</name>
    <message>
        <location filename="../app/uir/sample5.uir" line="5"/>
        <source>COM CONFIGURE</source>
        <extracomment>panel title</extracomment>
        <translation>Port configuration</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="6"/>
        <source>Port settings</source>
        <extracomment>group title</extracomment>
        <translation>Port settings</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="7"/>
        <source>COM SELECT</source>
        <comment>COMSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>COM port</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="8"/>
        <source>COM1</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM1</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="9"/>
        <source>COM2</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM2</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="10"/>
        <source>COM3</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM3</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="11"/>
        <source>COM4</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM4</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="12"/>
        <source>COM5</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM5</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="13"/>
        <source>COM6</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM6</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="14"/>
        <source>COM7</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM7</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="15"/>
        <source>COM8</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM8</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="16"/>
        <source>COM9</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM9</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="17"/>
        <source>COM10</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM10</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="18"/>
        <source>COM11</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM11</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="19"/>
        <source>COM12</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM12</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="20"/>
        <source>COM13</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM13</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="21"/>
        <source>COM14</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM14</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="22"/>
        <source>COM15</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM15</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="23"/>
        <source>COM16</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM16</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="24"/>
        <source>COM17</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM17</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="25"/>
        <source>COM18</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM18</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="26"/>
        <source>COM19</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM19</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="27"/>
        <source>COM20</source>
        <comment>COMSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>COM20</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="28"/>
        <source>Baud rate</source>
        <comment>BTLSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>Baud rate</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="35"/>
        <source>CHECK MODE</source>
        <comment>JYSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>Parity</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="36"/>
        <source>Odd parity</source>
        <comment>JYSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>Odd parity</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="37"/>
        <source>Even parity</source>
        <comment>JYSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>Even parity</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="38"/>
        <source>NO parity</source>
        <comment>JYSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>No parity</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="39"/>
        <source>DATA BITS</source>
        <comment>LONGSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>Data bits</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="43"/>
        <source>STOP BITS</source>
        <comment>STOPSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>Stop bits</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="46"/>
        <source>Quit</source>
        <extracomment>button, 100 px</extracomment>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="47"/>
        <source>__CloseCOM</source>
        <extracomment>button, 100 px</extracomment>
        <translation>__Close port</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="48"/>
        <source>__Configure</source>
        <extracomment>button, 100 px</extracomment>
        <translation>__Open port</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="49"/>
        <source>Device</source>
        <extracomment>group title</extracomment>
        <translation>Device</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="50"/>
        <source>Device of the selected port</source>
        <extracomment>text</extracomment>
        <translation>Device of the selected port</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="51"/>
        <source>Device…</source>
        <extracomment>button, 100 px</extracomment>
        <translation>Device…</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="52"/>
        <source>Reconnect automatically</source>
        <comment>RECONNECT</comment>
        <extracomment>switch caption</extracomment>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="53"/>
        <source>Polling</source>
        <extracomment>group title</extracomment>
        <translation>Polling</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="54"/>
        <source>Line-rate polling</source>
        <comment>FAST_LINE</comment>
        <extracomment>switch caption</extracomment>
        <translation>Line-rate polling</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="55"/>
        <source>Reply time-out (ms)</source>
        <comment>FAST_LINE_TIMEOUT</comment>
        <extracomment>number field caption</extracomment>
        <translation>Reply timeout (ms)</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_DEBG</name>
    <message>
        <location filename="../app/uir/debug.uir" line="5"/>
        <source>DEBUG</source>
        <extracomment>panel title</extracomment>
        <translation>Debug</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="9"/>
        <source>STOP</source>
        <extracomment>button</extracomment>
        <translation>STOP</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="10"/>
        <source>No confirmed change waiting to be stored</source>
        <extracomment>text, 300 px</extracomment>
        <translation>No confirmed change waiting to be stored</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="11"/>
        <source>Store</source>
        <extracomment>button</extracomment>
        <translation>Store</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_DEBG/DBG_TAB1</name>
    <message>
        <location filename="../app/uir/debug.uir" line="12"/>
        <source>设置</source>
        <extracomment>tab page caption</extracomment>
        <translation>Settings</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="13"/>
        <source>电角度偏移量</source>
        <comment>NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Electrical angle offset</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="14"/>
        <location filename="../app/uir/debug.uir" line="15"/>
        <location filename="../app/uir/debug.uir" line="17"/>
        <location filename="../app/uir/debug.uir" line="18"/>
        <location filename="../app/uir/debug.uir" line="19"/>
        <location filename="../app/uir/debug.uir" line="21"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="16"/>
        <source>电流积分系数</source>
        <comment>NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Current loop Ki</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="20"/>
        <source>电流比例系数</source>
        <comment>NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>Current loop Kp</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="22"/>
        <source>度</source>
        <extracomment>text</extracomment>
        <translation>°</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="23"/>
        <source>HALL故障屏蔽使能</source>
        <comment>BINARYSWITCH_15</comment>
        <extracomment>switch caption</extracomment>
        <translation>Hall fault mask enable</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="24"/>
        <source>保存使能</source>
        <comment>BINARYSWITCH_8</comment>
        <extracomment>switch caption</extracomment>
        <translation>Store enable</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="25"/>
        <source>恢复出厂设置</source>
        <comment>BINARYSWITCH_7</comment>
        <extracomment>switch caption</extracomment>
        <translation>Restore factory settings</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_DEBG/DBG_TAB2</name>
    <message>
        <location filename="../app/uir/debug.uir" line="26"/>
        <source>调试</source>
        <extracomment>tab page caption</extracomment>
        <translation>Debug</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="27"/>
        <source>测试给定频率</source>
        <comment>NUMERIC_SET_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>Test frequency</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="28"/>
        <source>测试给定电流Q</source>
        <comment>NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>Test current Iq</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="29"/>
        <source>测试给定电角度</source>
        <comment>NUMERIC_SET_14</comment>
        <extracomment>number field caption</extracomment>
        <translation>Test electrical angle</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="30"/>
        <source>测试给定电压VD</source>
        <comment>NUMERIC_SET_13</comment>
        <extracomment>number field caption</extracomment>
        <translatorcomment>Shipped with the same caption as NUMERIC_SET_12; read as the q-axis voltage, like the current rows (D before Q).</translatorcomment>
        <translation>Test voltage Vq</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="31"/>
        <source>测试给定电压VD</source>
        <comment>NUMERIC_SET_12</comment>
        <extracomment>number field caption</extracomment>
        <translatorcomment>Shipped with the same caption as NUMERIC_SET_13; read as the d-axis voltage, like the current rows (D before Q).</translatorcomment>
        <translation>Test voltage Vd</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="32"/>
        <source>测试给定电流D</source>
        <comment>NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>Test current Id</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="33"/>
        <location filename="../app/uir/debug.uir" line="34"/>
        <location filename="../app/uir/debug.uir" line="35"/>
        <location filename="../app/uir/debug.uir" line="36"/>
        <location filename="../app/uir/debug.uir" line="37"/>
        <location filename="../app/uir/debug.uir" line="38"/>
        <location filename="../app/uir/debug.uir" line="39"/>
        <location filename="../app/uir/debug.uir" line="40"/>
        <location filename="../app/uir/debug.uir" line="41"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="42"/>
        <source>Hz</source>
        <extracomment>text</extracomment>
        <translation>Hz</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="43"/>
        <location filename="../app/uir/debug.uir" line="44"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="45"/>
        <source>测试使能</source>
        <comment>BINARYSWITCH_3</comment>
        <extracomment>switch caption</extracomment>
        <translation>Test enable</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="46"/>
        <source>运行模式选择</source>
        <comment>RING_4</comment>
        <extracomment>list caption</extracomment>
        <translation>Run mode selection</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="47"/>
        <source>测试HALL</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Hall test</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="48"/>
        <source>电流环DEBUG</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Current loop debug</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="49"/>
        <source>电压环DEBUG</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Voltage loop debug</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="50"/>
        <source>正常运行</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Normal run</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="51"/>
        <source>角度选择</source>
        <comment>RING_11</comment>
        <extracomment>list caption</extracomment>
        <translation>Angle selection</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="52"/>
        <source>固定角度</source>
        <comment>RING_11</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Fixed angle</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="53"/>
        <source>旋转角度</source>
        <comment>RING_11</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Rotating angle</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="54"/>
        <source>HALL</source>
        <comment>RING_11</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Hall</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_MAIN</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="5"/>
        <source>Drive Service Console</source>
        <extracomment>panel title</extracomment>
        <translation>Drive Service Console</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="7"/>
        <source>FILE</source>
        <extracomment>menu</extracomment>
        <translation>File</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="8"/>
        <source>COMMUNICATION</source>
        <extracomment>menu</extracomment>
        <translation>Communication</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="9"/>
        <source>SET</source>
        <extracomment>menu</extracomment>
        <translation>Parameters</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="10"/>
        <source>DEBUG</source>
        <extracomment>menu</extracomment>
        <translation>Debug</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="11"/>
        <source>MONITOR</source>
        <extracomment>menu</extracomment>
        <translation>Monitor</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="12"/>
        <source>FAULTS</source>
        <extracomment>menu</extracomment>
        <translation>Faults</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="13"/>
        <source>Help</source>
        <extracomment>menu</extracomment>
        <translation>Help</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="14"/>
        <source>Parameter reference</source>
        <extracomment>menu item</extracomment>
        <translation>Parameter reference</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="15"/>
        <source>About</source>
        <extracomment>menu item</extracomment>
        <translation>About</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="16"/>
        <source>Live values</source>
        <extracomment>group title</extracomment>
        <translation>Live values</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="17"/>
        <source>Hall sensors</source>
        <extracomment>group title</extracomment>
        <translation>Hall sensors</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="19"/>
        <source>Controller state</source>
        <extracomment>group title</extracomment>
        <translation>Controller state</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="20"/>
        <source>Line</source>
        <extracomment>group title</extracomment>
        <translation>Line</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="21"/>
        <source>__QUIT</source>
        <extracomment>button, 120 px</extracomment>
        <translation>__Quit</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="22"/>
        <source>Weaken current fbk</source>
        <comment>NUMERIC_QUERY_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Flux-weakening current feedback</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="23"/>
        <source>Hall status(CBA)</source>
        <comment>NUMERIC_QUERY_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall state (CBA)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="24"/>
        <source>HALLVALUE=6</source>
        <comment>NUMERIC_QUERY_24</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall value = 6</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="25"/>
        <source>HALLVALUE=5</source>
        <comment>NUMERIC_QUERY_23</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall value = 5</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="26"/>
        <source>HALLVALUE=4</source>
        <comment>NUMERIC_QUERY_22</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall value = 4</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="27"/>
        <source>HALLVALUE=3</source>
        <comment>NUMERIC_QUERY_21</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall value = 3</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="28"/>
        <source>HALLVALUE=2</source>
        <comment>NUMERIC_QUERY_20</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall value = 2</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="29"/>
        <source>HALLVALUE=1</source>
        <comment>NUMERIC_QUERY_19</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall value = 1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="30"/>
        <source>Mosfet status</source>
        <comment>NUMERIC_QUERY_17</comment>
        <extracomment>number field caption</extracomment>
        <translation>MOSFET status</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="31"/>
        <source>Throttle voltage</source>
        <comment>NUMERIC_QUERY_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>Throttle voltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="32"/>
        <source>Motor speed</source>
        <comment>NUMERIC_QUERY_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor speed</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="33"/>
        <source>EbsThrottle voltage</source>
        <comment>NUMERIC_QUERY_8</comment>
        <extracomment>number field caption</extracomment>
        <translation>EBS throttle voltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="34"/>
        <source>Motor temperature</source>
        <comment>NUMERIC_QUERY_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="35"/>
        <source>Controller temperature</source>
        <comment>NUMERIC_QUERY_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Controller temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="36"/>
        <source>ebrake Torque cmd</source>
        <comment>NUMERIC_QUERY_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>E-brake torque command</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="37"/>
        <source>力矩指令</source>
        <comment>NUMERIC_QUERY_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>Torque command</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="38"/>
        <source>Weaken current cmd</source>
        <comment>NUMERIC_QUERY_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>Flux-weakening current command</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="39"/>
        <source>Battery voltage</source>
        <comment>NUMERIC_QUERY_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>Battery voltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="40"/>
        <source>TX</source>
        <comment>LED_TRANSMIT</comment>
        <extracomment>lamp caption</extracomment>
        <translation>TX</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="41"/>
        <source>RX</source>
        <comment>LED_RECIEVE</comment>
        <extracomment>lamp caption</extracomment>
        <translation>RX</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="42"/>
        <location filename="../app/uir/mainwin.uir" line="43"/>
        <location filename="../app/uir/mainwin.uir" line="44"/>
        <location filename="../app/uir/mainwin.uir" line="45"/>
        <source>V</source>
        <extracomment>text</extracomment>
        <translation>V</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="46"/>
        <location filename="../app/uir/mainwin.uir" line="47"/>
        <location filename="../app/uir/mainwin.uir" line="48"/>
        <location filename="../app/uir/mainwin.uir" line="49"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="53"/>
        <source>RPM</source>
        <extracomment>text</extracomment>
        <translation>rpm</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="55"/>
        <source>Restore factory settings status</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list caption</extracomment>
        <translation>Factory reset status</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="56"/>
        <source>0:default</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>0: default</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="57"/>
        <source>1:in process 1</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>1: in progress (1)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="58"/>
        <source>2:in process 2</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>2: in progress (2)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="59"/>
        <source>3:restore ok ,please power off</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>3: restored, please power off</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="60"/>
        <source>4:restore fail ,please power off </source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>4: restore failed, please power off</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="61"/>
        <source>HALL anlge test status</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list caption</extracomment>
        <translation>Hall angle test status</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="62"/>
        <source>0:default</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>0: default</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="63"/>
        <source>1:in progress</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>1: in progress</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="64"/>
        <source>2:test OK</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>2: test OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="65"/>
        <source>3:test fail3</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>3: test failed (3)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="66"/>
        <source>4:test fail4</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>4: test failed (4)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="67"/>
        <source>System status</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list caption</extracomment>
        <translation>System status</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="68"/>
        <source>0:power up no finished-lack voltage</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>0: power-up not finished, undervoltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="69"/>
        <source>1:system error</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>1: system error</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="70"/>
        <source>20:electronic brake </source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>20: electronic braking</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="71"/>
        <source>21:stop brake</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>21: stop brake</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="72"/>
        <source>22:slide recharge</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>22: coasting regeneration</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="73"/>
        <source>23:system runing(flux weaken enable)</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>23: system running (flux weakening on)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="74"/>
        <source>24:system runing(flux weaken disable)</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>24: system running (flux weakening off)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="75"/>
        <source>25:motor reverse</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>25: motor reversing</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="76"/>
        <source>26:brake protect</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>26: brake protection</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="77"/>
        <source>27:guard against theft</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>27: anti-theft</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="78"/>
        <source>3:throttle protect</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>3: throttle protection</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="79"/>
        <source>4:HALL angle test</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>4: Hall angle test</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="80"/>
        <source>5:current DEBUG</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>5: current loop debug</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="81"/>
        <source>7:volt DEBUG</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>7: voltage loop debug</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="82"/>
        <source>6:reserved 6</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>6: reserved</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="83"/>
        <source>10:reserved 10</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>10: reserved</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="84"/>
        <source>输出口状态</source>
        <comment>TABLE_3</comment>
        <extracomment>table title</extracomment>
        <translation>Output status</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="85"/>
        <source>Input status</source>
        <comment>TABLE_2</comment>
        <extracomment>table title</extracomment>
        <translation>Input status</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="86"/>
        <location filename="../app/uir/mainwin.uir" line="90"/>
        <source>resvd</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Reserved</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="87"/>
        <source>brake</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Brake</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="88"/>
        <source>BOOST</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Boost</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="89"/>
        <source>cruise</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Cruise</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="91"/>
        <source>reverse</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Reverse</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="92"/>
        <source>speed limit</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Speed limit</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="93"/>
        <source>anti-- theft</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>Anti-theft</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="94"/>
        <source>Error list</source>
        <comment>TABLE_1</comment>
        <extracomment>table title</extracomment>
        <translation>Error list</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="95"/>
        <source>mosfet Fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>MOSFET fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="96"/>
        <source>overVolt</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Overvoltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="97"/>
        <source>lackVolt</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Undervoltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="98"/>
        <location filename="../app/uir/mainwin.uir" line="101"/>
        <source>resved</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Reserved</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="99"/>
        <source>mtOverTemp</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Motor overtemperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="100"/>
        <source>ctOverTemp</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Controller overtemperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="102"/>
        <source>overcurrent Fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Overcurrent fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="103"/>
        <source>overLoad</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Overload</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="104"/>
        <location filename="../app/uir/mainwin.uir" line="108"/>
        <location filename="../app/uir/mainwin.uir" line="109"/>
        <location filename="../app/uir/mainwin.uir" line="110"/>
        <location filename="../app/uir/mainwin.uir" line="111"/>
        <location filename="../app/uir/mainwin.uir" line="113"/>
        <source>reseved</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Reserved</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="105"/>
        <source>store faut</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Store fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="106"/>
        <source>HALL test fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Hall test fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="107"/>
        <source>hall fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Hall fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="112"/>
        <source>overSpeed</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Overspeed</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="114"/>
        <source>blockprotect fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Stall protection fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="115"/>
        <source>unInitEeprom</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>EEPROM not initialized</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="116"/>
        <location filename="../app/uir/mainwin.uir" line="117"/>
        <location filename="../app/uir/mainwin.uir" line="118"/>
        <location filename="../app/uir/mainwin.uir" line="125"/>
        <location filename="../app/uir/mainwin.uir" line="126"/>
        <location filename="../app/uir/mainwin.uir" line="127"/>
        <location filename="../app/uir/mainwin.uir" line="128"/>
        <location filename="../app/uir/mainwin.uir" line="129"/>
        <location filename="../app/uir/mainwin.uir" line="130"/>
        <location filename="../app/uir/mainwin.uir" line="131"/>
        <location filename="../app/uir/mainwin.uir" line="132"/>
        <location filename="../app/uir/mainwin.uir" line="133"/>
        <location filename="../app/uir/mainwin.uir" line="134"/>
        <location filename="../app/uir/mainwin.uir" line="135"/>
        <location filename="../app/uir/mainwin.uir" line="136"/>
        <location filename="../app/uir/mainwin.uir" line="137"/>
        <location filename="../app/uir/mainwin.uir" line="138"/>
        <location filename="../app/uir/mainwin.uir" line="139"/>
        <location filename="../app/uir/mainwin.uir" line="140"/>
        <location filename="../app/uir/mainwin.uir" line="141"/>
        <location filename="../app/uir/mainwin.uir" line="142"/>
        <source>resvd</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Reserved</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="119"/>
        <source>power up no finished</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Power-up not finished</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="120"/>
        <source>brake</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Brake</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="121"/>
        <source>anti-theft</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Anti-theft</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="122"/>
        <source>reverse</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Reverse</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="123"/>
        <source>release throttle err</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Throttle not released</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="124"/>
        <source>throttle-err</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>Throttle fault</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="143"/>
        <source>Drive Service Console — service edition</source>
        <extracomment>text</extracomment>
        <translation>Drive Service Console — service edition</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="148"/>
        <source>port closed</source>
        <extracomment>text, 330 px</extracomment>
        <translation>Port closed</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="150"/>
        <source>PARAMETER SET</source>
        <extracomment>panel title</extracomment>
        <translation>Parameters</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="154"/>
        <source>No confirmed change waiting to be stored</source>
        <extracomment>text, 300 px</extracomment>
        <translation>No confirmed change waiting to be stored</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="155"/>
        <source>Store</source>
        <extracomment>button</extracomment>
        <translation>Store</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_1</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="156"/>
        <source>BASIC</source>
        <extracomment>tab page caption</extracomment>
        <translation>Basic</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="157"/>
        <source>Voltage and current limits</source>
        <extracomment>group title</extracomment>
        <translation>Voltage and current limits</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="158"/>
        <source>Protection</source>
        <extracomment>group title</extracomment>
        <translation>Protection</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="159"/>
        <source>Limit dc current</source>
        <comment>TAB1_NUMERIC_SET_13</comment>
        <extracomment>number field caption</extracomment>
        <translation>DC current limit</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="160"/>
        <source>Rated phase current</source>
        <comment>TAB1_NUMERIC_SET_12</comment>
        <extracomment>number field caption</extracomment>
        <translation>Rated phase current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="161"/>
        <location filename="../app/uir/mainwin.uir" line="162"/>
        <location filename="../app/uir/mainwin.uir" line="163"/>
        <location filename="../app/uir/mainwin.uir" line="164"/>
        <location filename="../app/uir/mainwin.uir" line="166"/>
        <location filename="../app/uir/mainwin.uir" line="168"/>
        <location filename="../app/uir/mainwin.uir" line="173"/>
        <location filename="../app/uir/mainwin.uir" line="177"/>
        <location filename="../app/uir/mainwin.uir" line="180"/>
        <location filename="../app/uir/mainwin.uir" line="184"/>
        <location filename="../app/uir/mainwin.uir" line="187"/>
        <location filename="../app/uir/mainwin.uir" line="190"/>
        <location filename="../app/uir/mainwin.uir" line="193"/>
        <location filename="../app/uir/mainwin.uir" line="201"/>
        <location filename="../app/uir/mainwin.uir" line="203"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="165"/>
        <source>block time</source>
        <comment>TAB1_NUMERIC_SET_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>Stall time</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="167"/>
        <source>block ph current</source>
        <comment>TAB1_NUMERIC_SET_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>Stall phase current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="169"/>
        <source>overload time1</source>
        <comment>TAB1_NUMERIC_SET_15</comment>
        <extracomment>number field caption</extracomment>
        <translation>Overload time 1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="170"/>
        <source>overload time2</source>
        <comment>TAB1_NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>Overload time 2</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="171"/>
        <location filename="../app/uir/mainwin.uir" line="172"/>
        <location filename="../app/uir/mainwin.uir" line="179"/>
        <location filename="../app/uir/mainwin.uir" line="186"/>
        <location filename="../app/uir/mainwin.uir" line="189"/>
        <location filename="../app/uir/mainwin.uir" line="192"/>
        <location filename="../app/uir/mainwin.uir" line="195"/>
        <location filename="../app/uir/mainwin.uir" line="196"/>
        <location filename="../app/uir/mainwin.uir" line="197"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="174"/>
        <source>overload ph current1</source>
        <comment>TAB1_NUMERIC_SET_14</comment>
        <extracomment>number field caption</extracomment>
        <translation>Overload phase current 1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="175"/>
        <source>overload ph current2</source>
        <comment>TAB1_NUMERIC_SET_8</comment>
        <extracomment>number field caption</extracomment>
        <translation>Overload phase current 2</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="176"/>
        <source>ms</source>
        <extracomment>text</extracomment>
        <translation>ms</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="178"/>
        <source>Protected phase current</source>
        <comment>TAB1_NUMERIC_SET_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>Phase current protection</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="181"/>
        <source>Max phase current</source>
        <comment>TAB1_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Max. phase current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="182"/>
        <location filename="../app/uir/mainwin.uir" line="183"/>
        <source>s</source>
        <extracomment>text</extracomment>
        <translation>s</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="185"/>
        <source>Boost dc current</source>
        <comment>TAB1_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>Boost DC current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="188"/>
        <source>dc limit current</source>
        <comment>TAB1_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>DC limiting current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="191"/>
        <source>Over volt</source>
        <comment>TAB1_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>Overvoltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="194"/>
        <source>Lack volt</source>
        <comment>TAB1_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Undervoltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="198"/>
        <location filename="../app/uir/mainwin.uir" line="199"/>
        <location filename="../app/uir/mainwin.uir" line="200"/>
        <source>V</source>
        <extracomment>text</extracomment>
        <translation>V</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="202"/>
        <source>Dc current limited volt</source>
        <comment>TAB1_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>DC current limiting voltage</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_2</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="204"/>
        <source>TEMP</source>
        <extracomment>tab page caption</extracomment>
        <translation>Temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="205"/>
        <source>Controller</source>
        <extracomment>group title</extracomment>
        <translation>Controller</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="206"/>
        <source>Motor</source>
        <extracomment>group title</extracomment>
        <translation>Motor</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="207"/>
        <source>M_Limited current temperature</source>
        <comment>TAB2_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor current-limit temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="208"/>
        <location filename="../app/uir/mainwin.uir" line="209"/>
        <location filename="../app/uir/mainwin.uir" line="210"/>
        <location filename="../app/uir/mainwin.uir" line="212"/>
        <location filename="../app/uir/mainwin.uir" line="214"/>
        <location filename="../app/uir/mainwin.uir" line="216"/>
        <location filename="../app/uir/mainwin.uir" line="219"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="211"/>
        <source>M_unwork temperature</source>
        <comment>TAB2_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor cut-off temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="213"/>
        <source>Limited current temperature</source>
        <comment>TAB2_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>Current-limit temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="215"/>
        <source>Rework temperature</source>
        <comment>TAB2_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Recovery temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="217"/>
        <source>Unwork temperature</source>
        <comment>TAB2_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>Cut-off temperature</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="225"/>
        <source>Motor Temperatur Sensor</source>
        <comment>TAB2_BINARYSWITCH_5</comment>
        <extracomment>switch caption</extracomment>
        <translation>Motor temperature sensor</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="226"/>
        <source>M_Rework temperature</source>
        <comment>TAB2_NUMERIC_SET_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor recovery temperature</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_3</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="227"/>
        <source>FUNC</source>
        <extracomment>tab page caption</extracomment>
        <translation>Functions</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="228"/>
        <source>Functions</source>
        <extracomment>group title</extracomment>
        <translation>Functions</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="229"/>
        <source>Speed, flux and regeneration</source>
        <extracomment>group title</extracomment>
        <translation>Speed, flux and regeneration</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="230"/>
        <location filename="../app/uir/mainwin.uir" line="231"/>
        <location filename="../app/uir/mainwin.uir" line="232"/>
        <location filename="../app/uir/mainwin.uir" line="233"/>
        <location filename="../app/uir/mainwin.uir" line="234"/>
        <location filename="../app/uir/mainwin.uir" line="235"/>
        <location filename="../app/uir/mainwin.uir" line="236"/>
        <location filename="../app/uir/mainwin.uir" line="237"/>
        <location filename="../app/uir/mainwin.uir" line="238"/>
        <location filename="../app/uir/mainwin.uir" line="239"/>
        <location filename="../app/uir/mainwin.uir" line="244"/>
        <location filename="../app/uir/mainwin.uir" line="246"/>
        <location filename="../app/uir/mainwin.uir" line="248"/>
        <location filename="../app/uir/mainwin.uir" line="249"/>
        <location filename="../app/uir/mainwin.uir" line="252"/>
        <location filename="../app/uir/mainwin.uir" line="253"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="240"/>
        <source>Guard ph current coeff 0~1.0</source>
        <comment>TAB3_NUMERIC_SET_16</comment>
        <extracomment>number field caption</extracomment>
        <translation>Anti-theft phase current factor 0~1.0</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="241"/>
        <source>Slide regenerative charge speed</source>
        <comment>TAB3_NUMERIC_SET_15</comment>
        <extracomment>number field caption</extracomment>
        <translation>Coasting regeneration speed</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="242"/>
        <source>Slide regenerative charge current</source>
        <comment>TAB3_NUMERIC_SET_14</comment>
        <extracomment>number field caption</extracomment>
        <translation>Coasting regeneration current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="243"/>
        <source>Electric brake phase current</source>
        <comment>TAB3_NUMERIC_SET_12</comment>
        <extracomment>number field caption</extracomment>
        <translation>E-brake phase current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="245"/>
        <source>Flux weaken current</source>
        <comment>TAB3_NUMERIC_SET_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>Flux-weakening current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="247"/>
        <source>ReverseSpeed Limit</source>
        <comment>TAB3_NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>Reverse speed limit</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="250"/>
        <location filename="../app/uir/mainwin.uir" line="251"/>
        <location filename="../app/uir/mainwin.uir" line="254"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="255"/>
        <source>Rpm</source>
        <extracomment>text</extracomment>
        <translation>rpm</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="257"/>
        <source>控制器限流开放</source>
        <comment>TAB3_BINARYSWITCH_7</comment>
        <extracomment>switch caption</extracomment>
        <translation>Controller current limit release</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="258"/>
        <source>Flux weakening</source>
        <comment>TAB3_BINARYSWITCH_10</comment>
        <extracomment>switch caption</extracomment>
        <translation>Flux weakening</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="259"/>
        <source>Regenerative Charge</source>
        <comment>TAB3_BINARYSWITCH_13</comment>
        <extracomment>switch caption</extracomment>
        <translation>Regenerative charging</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="260"/>
        <source>side support</source>
        <comment>TAB3_BINARYSWITCH_8</comment>
        <extracomment>switch caption</extracomment>
        <translation>Side stand</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="261"/>
        <source>Cruise</source>
        <comment>TAB3_BINARYSWITCH_6</comment>
        <extracomment>switch caption</extracomment>
        <translation>Cruise</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="262"/>
        <source>BOOST</source>
        <comment>TAB3_BINARYSWITCH_5</comment>
        <extracomment>switch caption</extracomment>
        <translation>Boost</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="263"/>
        <source>General brake</source>
        <comment>TAB3_BINARYSWITCH_3</comment>
        <extracomment>switch caption</extracomment>
        <translation>Standard brake</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="264"/>
        <source>Brake protect</source>
        <comment>TAB3_BINARYSWITCH_2</comment>
        <extracomment>switch caption</extracomment>
        <translation>Brake protection</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="265"/>
        <source>Throttle protect</source>
        <comment>TAB3_BINARYSWITCH_1</comment>
        <extracomment>switch caption</extracomment>
        <translation>Throttle protection</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="266"/>
        <source>Boost/3 Spd</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list caption</extracomment>
        <translation>Boost / 3 speeds</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="267"/>
        <source>Boost</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Boost</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="268"/>
        <source>3 Speed (button)</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>3 speeds (button)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="269"/>
        <source>3 Speed (switch)</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>3 speeds (switch)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="270"/>
        <source>BoostStart</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Boost start</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="271"/>
        <source>DNR</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>DNR</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="272"/>
        <source>Ebrake Mode</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list caption</extracomment>
        <translation>E-brake mode</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="273"/>
        <source>No ebrake</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>No e-brake</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="274"/>
        <source>Ebrake-switch</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>E-brake switch</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="275"/>
        <source>Ebrake-throttle</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>E-brake throttle</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_4</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="276"/>
        <source>THROTTLE</source>
        <extracomment>tab page caption</extracomment>
        <translation>Throttle</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="277"/>
        <source>Throttle</source>
        <extracomment>group title</extracomment>
        <translation>Throttle</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="278"/>
        <source>Throttle mid current</source>
        <comment>TAB4_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Throttle mid-point current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="279"/>
        <source>Throttle mid volt</source>
        <comment>TAB4_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>Throttle mid-point voltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="280"/>
        <source>Decelerate time</source>
        <comment>TAB4_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>Deceleration time</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="281"/>
        <source>Accelerate time</source>
        <comment>TAB4_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>Acceleration time</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="282"/>
        <source>Throttle max volt</source>
        <comment>TAB4_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Throttle max. voltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="283"/>
        <location filename="../app/uir/mainwin.uir" line="285"/>
        <location filename="../app/uir/mainwin.uir" line="286"/>
        <location filename="../app/uir/mainwin.uir" line="287"/>
        <location filename="../app/uir/mainwin.uir" line="288"/>
        <location filename="../app/uir/mainwin.uir" line="289"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="284"/>
        <source>Throttle min volt</source>
        <comment>TAB4_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>Throttle min. voltage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="290"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="291"/>
        <location filename="../app/uir/mainwin.uir" line="292"/>
        <location filename="../app/uir/mainwin.uir" line="293"/>
        <source>V</source>
        <extracomment>text</extracomment>
        <translation>V</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="294"/>
        <location filename="../app/uir/mainwin.uir" line="295"/>
        <source>ms</source>
        <extracomment>text</extracomment>
        <translation>ms</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_5</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="296"/>
        <source>MOTOR</source>
        <extracomment>tab page caption</extracomment>
        <translation>Motor</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="297"/>
        <source>Motor</source>
        <extracomment>group title</extracomment>
        <translation>Motor</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="298"/>
        <source>Speed limit</source>
        <extracomment>group title</extracomment>
        <translation>Speed limit</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="299"/>
        <source>Middle speed set</source>
        <comment>TAB5_NUMERIC_SET_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>Medium speed</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="300"/>
        <source>Low speed set</source>
        <comment>TAB5_NUMERIC_SET_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>Low speed</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="301"/>
        <source>Motor limit speed set</source>
        <comment>TAB5_NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor speed limit</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="302"/>
        <source>Motor Lmd</source>
        <comment>TAB5_NUMERIC_SET_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor flux linkage</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="303"/>
        <source>motor R</source>
        <comment>TAB5_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor resistance R</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="304"/>
        <source>motor L</source>
        <comment>TAB5_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor inductance L</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="305"/>
        <source>Motor Pn</source>
        <comment>TAB5_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor pole pairs</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="306"/>
        <source>Motor direction</source>
        <comment>TAB5_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>Motor direction</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="307"/>
        <source>hall fixed angle</source>
        <comment>TAB5_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall fixed angle</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="308"/>
        <source>hall squence</source>
        <comment>TAB5_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall sequence</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="309"/>
        <location filename="../app/uir/mainwin.uir" line="310"/>
        <location filename="../app/uir/mainwin.uir" line="311"/>
        <location filename="../app/uir/mainwin.uir" line="312"/>
        <location filename="../app/uir/mainwin.uir" line="313"/>
        <location filename="../app/uir/mainwin.uir" line="314"/>
        <location filename="../app/uir/mainwin.uir" line="315"/>
        <location filename="../app/uir/mainwin.uir" line="316"/>
        <location filename="../app/uir/mainwin.uir" line="317"/>
        <location filename="../app/uir/mainwin.uir" line="318"/>
        <location filename="../app/uir/mainwin.uir" line="319"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="320"/>
        <source>Speed limit mode select</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list caption</extracomment>
        <translation>Speed limit mode</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="321"/>
        <source>extern resistance</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>External resistor</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="322"/>
        <source>intern set</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Internal setting</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="323"/>
        <source>no limit</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>No limit</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_6</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="327"/>
        <source>DEBUG</source>
        <extracomment>tab page caption</extracomment>
        <translation>Debug</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="328"/>
        <source>Current loop and hall test</source>
        <extracomment>group title</extracomment>
        <translation>Current loop and Hall test</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="329"/>
        <source>Commands</source>
        <extracomment>group title</extracomment>
        <translation>Commands</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="330"/>
        <source>Test given current</source>
        <comment>TAB6_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>Test current</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="331"/>
        <source>Current loop ki</source>
        <comment>TAB6_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>Current loop Ki</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="332"/>
        <source>Current loop kp</source>
        <comment>TAB6_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>Current loop Kp</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="333"/>
        <location filename="../app/uir/mainwin.uir" line="334"/>
        <location filename="../app/uir/mainwin.uir" line="336"/>
        <location filename="../app/uir/mainwin.uir" line="337"/>
        <location filename="../app/uir/mainwin.uir" line="338"/>
        <location filename="../app/uir/mainwin.uir" line="339"/>
        <location filename="../app/uir/mainwin.uir" line="340"/>
        <location filename="../app/uir/mainwin.uir" line="344"/>
        <source>__OK</source>
        <extracomment>button</extracomment>
        <translation>__OK</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="335"/>
        <source>Hall angle</source>
        <comment>TAB6_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>Hall angle</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="341"/>
        <source>Parameter store</source>
        <extracomment>text</extracomment>
        <translation>Store parameters</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="342"/>
        <source>Restore factory settings</source>
        <extracomment>text</extracomment>
        <translation>Restore factory settings</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="343"/>
        <source>degree</source>
        <extracomment>text</extracomment>
        <translation>°</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="345"/>
        <source>Parameter store</source>
        <comment>TAB6_BINARYSWITCH_8</comment>
        <extracomment>switch caption</extracomment>
        <translation>Store parameters</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="346"/>
        <source>Restore factory settings</source>
        <comment>TAB6_BINARYSWITCH_7</comment>
        <extracomment>switch caption</extracomment>
        <translation>Restore factory settings</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="347"/>
        <source>Hall angle test</source>
        <comment>TAB6_BINARYSWITCH_3</comment>
        <extracomment>switch caption</extracomment>
        <translation>Hall angle test</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="348"/>
        <source>Control mode</source>
        <comment>TAB6_RING_4</comment>
        <extracomment>list caption</extracomment>
        <translation>Control mode</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="349"/>
        <source>HALL angle test</source>
        <comment>TAB6_RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Hall angle test</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="350"/>
        <source>normal run</source>
        <comment>TAB6_RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>Normal run</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="351"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
</context>
</TS>
