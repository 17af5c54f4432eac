<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>uir/PANEL_COM</name>
    <message>
        <location filename="../app/uir/sample5.uir" line="5"/>
        <source>COM CONFIGURE</source>
        <extracomment>panel title</extracomment>
        <translation>串口配置</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="6"/>
        <source>Port settings</source>
        <extracomment>group title</extracomment>
        <translation>串口设置</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="7"/>
        <source>COM SELECT</source>
        <comment>COMSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>串口选择</translation>
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
        <translation>波特率</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="35"/>
        <source>CHECK MODE</source>
        <comment>JYSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>校验方式</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="36"/>
        <source>Odd parity</source>
        <comment>JYSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>奇校验</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="37"/>
        <source>Even parity</source>
        <comment>JYSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>偶校验</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="38"/>
        <source>NO parity</source>
        <comment>JYSELECT</comment>
        <extracomment>list item, 140 px</extracomment>
        <translation>无校验</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="39"/>
        <source>DATA BITS</source>
        <comment>LONGSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>数据位</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="43"/>
        <source>STOP BITS</source>
        <comment>STOPSELECT</comment>
        <extracomment>list caption</extracomment>
        <translation>停止位</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="46"/>
        <source>Quit</source>
        <extracomment>button, 100 px</extracomment>
        <translation>关闭</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="47"/>
        <source>__CloseCOM</source>
        <extracomment>button, 100 px</extracomment>
        <translation>关闭串口(__C)</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="48"/>
        <source>__Configure</source>
        <extracomment>button, 100 px</extracomment>
        <translation>打开串口(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="49"/>
        <source>Device</source>
        <extracomment>group title</extracomment>
        <translation>设备</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="50"/>
        <source>Device of the selected port</source>
        <extracomment>text</extracomment>
        <translation>所选串口的设备</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="51"/>
        <source>Device…</source>
        <extracomment>button, 100 px</extracomment>
        <translation>设备…</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="52"/>
        <source>Reconnect automatically</source>
        <comment>RECONNECT</comment>
        <extracomment>switch caption</extracomment>
        <translation>自动重连</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="53"/>
        <source>Polling</source>
        <extracomment>group title</extracomment>
        <translation>轮询</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="54"/>
        <source>Line-rate polling</source>
        <comment>FAST_LINE</comment>
        <extracomment>switch caption</extracomment>
        <translation>全速轮询</translation>
    </message>
    <message>
        <location filename="../app/uir/sample5.uir" line="55"/>
        <source>Reply time-out (ms)</source>
        <comment>FAST_LINE_TIMEOUT</comment>
        <extracomment>number field caption</extracomment>
        <translation>应答超时(ms)</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_DEBG</name>
    <message>
        <location filename="../app/uir/debug.uir" line="5"/>
        <source>DEBUG</source>
        <extracomment>panel title</extracomment>
        <translation>调试</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="9"/>
        <source>STOP</source>
        <extracomment>button</extracomment>
        <translation>停止</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="10"/>
        <source>No confirmed change waiting to be stored</source>
        <extracomment>text, 300 px</extracomment>
        <translation>没有待保存的已确认修改</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="11"/>
        <source>Store</source>
        <extracomment>button</extracomment>
        <translation>保存</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_DEBG/DBG_TAB1</name>
    <message>
        <location filename="../app/uir/debug.uir" line="12"/>
        <source>设置</source>
        <extracomment>tab page caption</extracomment>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="13"/>
        <source>电角度偏移量</source>
        <comment>NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>电角度偏移量</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="16"/>
        <source>电流积分系数</source>
        <comment>NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>电流积分系数</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="20"/>
        <source>电流比例系数</source>
        <comment>NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>电流比例系数</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="22"/>
        <source>度</source>
        <extracomment>text</extracomment>
        <translation>度</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="23"/>
        <source>HALL故障屏蔽使能</source>
        <comment>BINARYSWITCH_15</comment>
        <extracomment>switch caption</extracomment>
        <translation>霍尔故障屏蔽使能</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="24"/>
        <source>保存使能</source>
        <comment>BINARYSWITCH_8</comment>
        <extracomment>switch caption</extracomment>
        <translation>保存使能</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="25"/>
        <source>恢复出厂设置</source>
        <comment>BINARYSWITCH_7</comment>
        <extracomment>switch caption</extracomment>
        <translation>恢复出厂设置</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_DEBG/DBG_TAB2</name>
    <message>
        <location filename="../app/uir/debug.uir" line="26"/>
        <source>调试</source>
        <extracomment>tab page caption</extracomment>
        <translation>调试</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="27"/>
        <source>测试给定频率</source>
        <comment>NUMERIC_SET_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>测试给定频率</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="28"/>
        <source>测试给定电流Q</source>
        <comment>NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>测试给定Q轴电流</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="29"/>
        <source>测试给定电角度</source>
        <comment>NUMERIC_SET_14</comment>
        <extracomment>number field caption</extracomment>
        <translation>测试给定电角度</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="30"/>
        <source>测试给定电压VD</source>
        <comment>NUMERIC_SET_13</comment>
        <extracomment>number field caption</extracomment>
        <translatorcomment>Shipped with the same caption as NUMERIC_SET_12; read as the q-axis voltage, like the current rows (D before Q).</translatorcomment>
        <translation>测试给定Q轴电压</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="31"/>
        <source>测试给定电压VD</source>
        <comment>NUMERIC_SET_12</comment>
        <extracomment>number field caption</extracomment>
        <translatorcomment>Shipped with the same caption as NUMERIC_SET_13; read as the d-axis voltage, like the current rows (D before Q).</translatorcomment>
        <translation>测试给定D轴电压</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="32"/>
        <source>测试给定电流D</source>
        <comment>NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>测试给定D轴电流</translation>
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
        <translation>确定(__O)</translation>
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
        <translation>测试使能</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="46"/>
        <source>运行模式选择</source>
        <comment>RING_4</comment>
        <extracomment>list caption</extracomment>
        <translation>运行模式选择</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="47"/>
        <source>测试HALL</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>霍尔测试</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="48"/>
        <source>电流环DEBUG</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>电流环调试</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="49"/>
        <source>电压环DEBUG</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>电压环调试</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="50"/>
        <source>正常运行</source>
        <comment>RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>正常运行</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="51"/>
        <source>角度选择</source>
        <comment>RING_11</comment>
        <extracomment>list caption</extracomment>
        <translation>角度选择</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="52"/>
        <source>固定角度</source>
        <comment>RING_11</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>固定角度</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="53"/>
        <source>旋转角度</source>
        <comment>RING_11</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>旋转角度</translation>
    </message>
    <message>
        <location filename="../app/uir/debug.uir" line="54"/>
        <source>HALL</source>
        <comment>RING_11</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>霍尔</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_MAIN</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="5"/>
        <source>Drive Service Console</source>
        <extracomment>panel title</extracomment>
        <translation>驱动器维护控制台</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="7"/>
        <source>FILE</source>
        <extracomment>menu</extracomment>
        <translation>文件</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="8"/>
        <source>COMMUNICATION</source>
        <extracomment>menu</extracomment>
        <translation>通信</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="9"/>
        <source>SET</source>
        <extracomment>menu</extracomment>
        <translation>参数设置</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="10"/>
        <source>DEBUG</source>
        <extracomment>menu</extracomment>
        <translation>调试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="11"/>
        <source>MONITOR</source>
        <extracomment>menu</extracomment>
        <translation>监视</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="12"/>
        <source>FAULTS</source>
        <extracomment>menu</extracomment>
        <translation>故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="13"/>
        <source>Help</source>
        <extracomment>menu</extracomment>
        <translation>帮助</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="14"/>
        <source>Parameter reference</source>
        <extracomment>menu item</extracomment>
        <translation>参数说明</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="15"/>
        <source>About</source>
        <extracomment>menu item</extracomment>
        <translation>关于</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="16"/>
        <source>Live values</source>
        <extracomment>group title</extracomment>
        <translation>实时数据</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="17"/>
        <source>Hall sensors</source>
        <extracomment>group title</extracomment>
        <translation>霍尔传感器</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="19"/>
        <source>Controller state</source>
        <extracomment>group title</extracomment>
        <translation>控制器状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="20"/>
        <source>Line</source>
        <extracomment>group title</extracomment>
        <translation>通信</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="21"/>
        <source>__QUIT</source>
        <extracomment>button, 120 px</extracomment>
        <translation>退出(__Q)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="22"/>
        <source>Weaken current fbk</source>
        <comment>NUMERIC_QUERY_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>弱磁电流反馈</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="23"/>
        <source>Hall status(CBA)</source>
        <comment>NUMERIC_QUERY_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔状态(CBA)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="24"/>
        <source>HALLVALUE=6</source>
        <comment>NUMERIC_QUERY_24</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔值=6</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="25"/>
        <source>HALLVALUE=5</source>
        <comment>NUMERIC_QUERY_23</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔值=5</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="26"/>
        <source>HALLVALUE=4</source>
        <comment>NUMERIC_QUERY_22</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔值=4</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="27"/>
        <source>HALLVALUE=3</source>
        <comment>NUMERIC_QUERY_21</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔值=3</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="28"/>
        <source>HALLVALUE=2</source>
        <comment>NUMERIC_QUERY_20</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔值=2</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="29"/>
        <source>HALLVALUE=1</source>
        <comment>NUMERIC_QUERY_19</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔值=1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="30"/>
        <source>Mosfet status</source>
        <comment>NUMERIC_QUERY_17</comment>
        <extracomment>number field caption</extracomment>
        <translation>MOS管状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="31"/>
        <source>Throttle voltage</source>
        <comment>NUMERIC_QUERY_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>转把电压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="32"/>
        <source>Motor speed</source>
        <comment>NUMERIC_QUERY_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机转速</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="33"/>
        <source>EbsThrottle voltage</source>
        <comment>NUMERIC_QUERY_8</comment>
        <extracomment>number field caption</extracomment>
        <translation>EBS转把电压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="34"/>
        <source>Motor temperature</source>
        <comment>NUMERIC_QUERY_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="35"/>
        <source>Controller temperature</source>
        <comment>NUMERIC_QUERY_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>控制器温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="36"/>
        <source>ebrake Torque cmd</source>
        <comment>NUMERIC_QUERY_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>电刹力矩指令</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="37"/>
        <source>力矩指令</source>
        <comment>NUMERIC_QUERY_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>力矩指令</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="38"/>
        <source>Weaken current cmd</source>
        <comment>NUMERIC_QUERY_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>弱磁电流指令</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="39"/>
        <source>Battery voltage</source>
        <comment>NUMERIC_QUERY_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>电池电压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="40"/>
        <source>TX</source>
        <comment>LED_TRANSMIT</comment>
        <extracomment>lamp caption</extracomment>
        <translation>发送</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="41"/>
        <source>RX</source>
        <comment>LED_RECIEVE</comment>
        <extracomment>lamp caption</extracomment>
        <translation>接收</translation>
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
        <translation>恢复出厂设置状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="56"/>
        <source>0:default</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>0:默认</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="57"/>
        <source>1:in process 1</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>1:进行中1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="58"/>
        <source>2:in process 2</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>2:进行中2</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="59"/>
        <source>3:restore ok ,please power off</source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>3:恢复成功，请断电</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="60"/>
        <source>4:restore fail ,please power off </source>
        <comment>RING_QUERY_25</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>4:恢复失败，请断电</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="61"/>
        <source>HALL anlge test status</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list caption</extracomment>
        <translation>霍尔角度测试状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="62"/>
        <source>0:default</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>0:默认</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="63"/>
        <source>1:in progress</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>1:进行中</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="64"/>
        <source>2:test OK</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>2:测试成功</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="65"/>
        <source>3:test fail3</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>3:测试失败3</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="66"/>
        <source>4:test fail4</source>
        <comment>RING_QUERY_18</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>4:测试失败4</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="67"/>
        <source>System status</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list caption</extracomment>
        <translation>系统状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="68"/>
        <source>0:power up no finished-lack voltage</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>0:上电未完成-欠压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="69"/>
        <source>1:system error</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>1:系统故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="70"/>
        <source>20:electronic brake </source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>20:电子刹车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="71"/>
        <source>21:stop brake</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>21:停车刹车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="72"/>
        <source>22:slide recharge</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>22:滑行回充</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="73"/>
        <source>23:system runing(flux weaken enable)</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>23:系统运行(弱磁开启)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="74"/>
        <source>24:system runing(flux weaken disable)</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>24:系统运行(弱磁关闭)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="75"/>
        <source>25:motor reverse</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>25:电机倒车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="76"/>
        <source>26:brake protect</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>26:刹车保护</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="77"/>
        <source>27:guard against theft</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>27:防盗</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="78"/>
        <source>3:throttle protect</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>3:转把保护</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="79"/>
        <source>4:HALL angle test</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>4:霍尔角度测试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="80"/>
        <source>5:current DEBUG</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>5:电流环调试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="81"/>
        <source>7:volt DEBUG</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>7:电压环调试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="82"/>
        <source>6:reserved 6</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>6:保留</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="83"/>
        <source>10:reserved 10</source>
        <comment>RING_QUERY_0</comment>
        <extracomment>list item, 300 px</extracomment>
        <translation>10:保留</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="84"/>
        <source>输出口状态</source>
        <comment>TABLE_3</comment>
        <extracomment>table title</extracomment>
        <translation>输出口状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="85"/>
        <source>Input status</source>
        <comment>TABLE_2</comment>
        <extracomment>table title</extracomment>
        <translation>输入口状态</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="86"/>
        <location filename="../app/uir/mainwin.uir" line="90"/>
        <source>resvd</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>保留</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="87"/>
        <source>brake</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>刹车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="88"/>
        <source>BOOST</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>BOOST</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="89"/>
        <source>cruise</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>巡航</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="91"/>
        <source>reverse</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>倒车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="92"/>
        <source>speed limit</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>限速</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="93"/>
        <source>anti-- theft</source>
        <comment>TABLE_2</comment>
        <extracomment>table cell, 260 px</extracomment>
        <translation>防盗</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="94"/>
        <source>Error list</source>
        <comment>TABLE_1</comment>
        <extracomment>table title</extracomment>
        <translation>故障列表</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="95"/>
        <source>mosfet Fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>MOS管故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="96"/>
        <source>overVolt</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>过压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="97"/>
        <source>lackVolt</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>欠压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="98"/>
        <location filename="../app/uir/mainwin.uir" line="101"/>
        <source>resved</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>保留</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="99"/>
        <source>mtOverTemp</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>电机过温</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="100"/>
        <source>ctOverTemp</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>控制器过温</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="102"/>
        <source>overcurrent Fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>过流故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="103"/>
        <source>overLoad</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>过载</translation>
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
        <translation>保留</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="105"/>
        <source>store faut</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>存储故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="106"/>
        <source>HALL test fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>霍尔测试故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="107"/>
        <source>hall fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>霍尔故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="112"/>
        <source>overSpeed</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>超速</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="114"/>
        <source>blockprotect fault</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>堵转保护故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="115"/>
        <source>unInitEeprom</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>EEPROM未初始化</translation>
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
        <translation>保留</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="119"/>
        <source>power up no finished</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>上电未完成</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="120"/>
        <source>brake</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>刹车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="121"/>
        <source>anti-theft</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>防盗</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="122"/>
        <source>reverse</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>倒车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="123"/>
        <source>release throttle err</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>转把未回位</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="124"/>
        <source>throttle-err</source>
        <comment>TABLE_1</comment>
        <extracomment>table cell, 230 px</extracomment>
        <translation>转把故障</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="143"/>
        <source>Drive Service Console — service edition</source>
        <extracomment>text</extracomment>
        <translation>驱动器维护控制台 — 维护版</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="148"/>
        <source>port closed</source>
        <extracomment>text, 330 px</extracomment>
        <translation>串口已关闭</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="150"/>
        <source>PARAMETER SET</source>
        <extracomment>panel title</extracomment>
        <translation>参数设置</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="154"/>
        <source>No confirmed change waiting to be stored</source>
        <extracomment>text, 300 px</extracomment>
        <translation>没有待保存的已确认修改</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="155"/>
        <source>Store</source>
        <extracomment>button</extracomment>
        <translation>保存</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_1</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="156"/>
        <source>BASIC</source>
        <extracomment>tab page caption</extracomment>
        <translation>基本</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="157"/>
        <source>Voltage and current limits</source>
        <extracomment>group title</extracomment>
        <translation>电压与电流限值</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="158"/>
        <source>Protection</source>
        <extracomment>group title</extracomment>
        <translation>保护</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="159"/>
        <source>Limit dc current</source>
        <comment>TAB1_NUMERIC_SET_13</comment>
        <extracomment>number field caption</extracomment>
        <translation>母线电流限值</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="160"/>
        <source>Rated phase current</source>
        <comment>TAB1_NUMERIC_SET_12</comment>
        <extracomment>number field caption</extracomment>
        <translation>额定相电流</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="165"/>
        <source>block time</source>
        <comment>TAB1_NUMERIC_SET_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>堵转时间</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="167"/>
        <source>block ph current</source>
        <comment>TAB1_NUMERIC_SET_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>堵转相电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="169"/>
        <source>overload time1</source>
        <comment>TAB1_NUMERIC_SET_15</comment>
        <extracomment>number field caption</extracomment>
        <translation>过载时间1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="170"/>
        <source>overload time2</source>
        <comment>TAB1_NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>过载时间2</translation>
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
        <translation>过载相电流1</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="175"/>
        <source>overload ph current2</source>
        <comment>TAB1_NUMERIC_SET_8</comment>
        <extracomment>number field caption</extracomment>
        <translation>过载相电流2</translation>
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
        <translation>相电流保护值</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="181"/>
        <source>Max phase current</source>
        <comment>TAB1_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>最大相电流</translation>
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
        <translation>BOOST母线电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="188"/>
        <source>dc limit current</source>
        <comment>TAB1_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>母线限流值</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="191"/>
        <source>Over volt</source>
        <comment>TAB1_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>过压保护值</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="194"/>
        <source>Lack volt</source>
        <comment>TAB1_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>欠压保护值</translation>
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
        <translation>母线限流电压</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_2</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="204"/>
        <source>TEMP</source>
        <extracomment>tab page caption</extracomment>
        <translation>温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="205"/>
        <source>Controller</source>
        <extracomment>group title</extracomment>
        <translation>控制器</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="206"/>
        <source>Motor</source>
        <extracomment>group title</extracomment>
        <translation>电机</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="207"/>
        <source>M_Limited current temperature</source>
        <comment>TAB2_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机限流温度</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="211"/>
        <source>M_unwork temperature</source>
        <comment>TAB2_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机停机温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="213"/>
        <source>Limited current temperature</source>
        <comment>TAB2_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>限流温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="215"/>
        <source>Rework temperature</source>
        <comment>TAB2_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>恢复工作温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="217"/>
        <source>Unwork temperature</source>
        <comment>TAB2_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>停机温度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="225"/>
        <source>Motor Temperatur Sensor</source>
        <comment>TAB2_BINARYSWITCH_5</comment>
        <extracomment>switch caption</extracomment>
        <translation>电机温度传感器</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="226"/>
        <source>M_Rework temperature</source>
        <comment>TAB2_NUMERIC_SET_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机恢复工作温度</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_3</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="227"/>
        <source>FUNC</source>
        <extracomment>tab page caption</extracomment>
        <translation>功能</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="228"/>
        <source>Functions</source>
        <extracomment>group title</extracomment>
        <translation>功能</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="229"/>
        <source>Speed, flux and regeneration</source>
        <extracomment>group title</extracomment>
        <translation>转速、弱磁与能量回收</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="240"/>
        <source>Guard ph current coeff 0~1.0</source>
        <comment>TAB3_NUMERIC_SET_16</comment>
        <extracomment>number field caption</extracomment>
        <translation>防盗相电流系数 0~1.0</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="241"/>
        <source>Slide regenerative charge speed</source>
        <comment>TAB3_NUMERIC_SET_15</comment>
        <extracomment>number field caption</extracomment>
        <translation>滑行回充速度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="242"/>
        <source>Slide regenerative charge current</source>
        <comment>TAB3_NUMERIC_SET_14</comment>
        <extracomment>number field caption</extracomment>
        <translation>滑行回充电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="243"/>
        <source>Electric brake phase current</source>
        <comment>TAB3_NUMERIC_SET_12</comment>
        <extracomment>number field caption</extracomment>
        <translation>电刹相电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="245"/>
        <source>Flux weaken current</source>
        <comment>TAB3_NUMERIC_SET_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>弱磁电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="247"/>
        <source>ReverseSpeed Limit</source>
        <comment>TAB3_NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>倒车限速</translation>
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
        <translation>控制器限流开放</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="258"/>
        <source>Flux weakening</source>
        <comment>TAB3_BINARYSWITCH_10</comment>
        <extracomment>switch caption</extracomment>
        <translation>弱磁</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="259"/>
        <source>Regenerative Charge</source>
        <comment>TAB3_BINARYSWITCH_13</comment>
        <extracomment>switch caption</extracomment>
        <translation>能量回收</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="260"/>
        <source>side support</source>
        <comment>TAB3_BINARYSWITCH_8</comment>
        <extracomment>switch caption</extracomment>
        <translation>边撑</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="261"/>
        <source>Cruise</source>
        <comment>TAB3_BINARYSWITCH_6</comment>
        <extracomment>switch caption</extracomment>
        <translation>巡航</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="262"/>
        <source>BOOST</source>
        <comment>TAB3_BINARYSWITCH_5</comment>
        <extracomment>switch caption</extracomment>
        <translation>BOOST</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="263"/>
        <source>General brake</source>
        <comment>TAB3_BINARYSWITCH_3</comment>
        <extracomment>switch caption</extracomment>
        <translation>普通刹车</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="264"/>
        <source>Brake protect</source>
        <comment>TAB3_BINARYSWITCH_2</comment>
        <extracomment>switch caption</extracomment>
        <translation>刹车保护</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="265"/>
        <source>Throttle protect</source>
        <comment>TAB3_BINARYSWITCH_1</comment>
        <extracomment>switch caption</extracomment>
        <translation>转把保护</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="266"/>
        <source>Boost/3 Spd</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list caption</extracomment>
        <translation>BOOST/三速</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="267"/>
        <source>Boost</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>BOOST</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="268"/>
        <source>3 Speed (button)</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>三速(按键)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="269"/>
        <source>3 Speed (switch)</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>三速(开关)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="270"/>
        <source>BoostStart</source>
        <comment>TAB3_RING_1</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>BOOST起步</translation>
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
        <translation>电刹模式</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="273"/>
        <source>No ebrake</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>无电刹</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="274"/>
        <source>Ebrake-switch</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>开关电刹</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="275"/>
        <source>Ebrake-throttle</source>
        <comment>TAB3_RING_2</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>转把电刹</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_4</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="276"/>
        <source>THROTTLE</source>
        <extracomment>tab page caption</extracomment>
        <translation>转把</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="277"/>
        <source>Throttle</source>
        <extracomment>group title</extracomment>
        <translation>转把</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="278"/>
        <source>Throttle mid current</source>
        <comment>TAB4_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>转把中点电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="279"/>
        <source>Throttle mid volt</source>
        <comment>TAB4_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>转把中点电压</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="280"/>
        <source>Decelerate time</source>
        <comment>TAB4_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>减速时间</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="281"/>
        <source>Accelerate time</source>
        <comment>TAB4_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>加速时间</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="282"/>
        <source>Throttle max volt</source>
        <comment>TAB4_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>转把最高电压</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="284"/>
        <source>Throttle min volt</source>
        <comment>TAB4_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>转把最低电压</translation>
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
        <translation>电机</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="297"/>
        <source>Motor</source>
        <extracomment>group title</extracomment>
        <translation>电机</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="298"/>
        <source>Speed limit</source>
        <extracomment>group title</extracomment>
        <translation>限速</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="299"/>
        <source>Middle speed set</source>
        <comment>TAB5_NUMERIC_SET_11</comment>
        <extracomment>number field caption</extracomment>
        <translation>中速设定</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="300"/>
        <source>Low speed set</source>
        <comment>TAB5_NUMERIC_SET_10</comment>
        <extracomment>number field caption</extracomment>
        <translation>低速设定</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="301"/>
        <source>Motor limit speed set</source>
        <comment>TAB5_NUMERIC_SET_9</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机限速设定</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="302"/>
        <source>Motor Lmd</source>
        <comment>TAB5_NUMERIC_SET_7</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机磁链</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="303"/>
        <source>motor R</source>
        <comment>TAB5_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机电阻R</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="304"/>
        <source>motor L</source>
        <comment>TAB5_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机电感L</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="305"/>
        <source>Motor Pn</source>
        <comment>TAB5_NUMERIC_SET_4</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机极对数</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="306"/>
        <source>Motor direction</source>
        <comment>TAB5_NUMERIC_SET_3</comment>
        <extracomment>number field caption</extracomment>
        <translation>电机方向</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="307"/>
        <source>hall fixed angle</source>
        <comment>TAB5_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔固定角度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="308"/>
        <source>hall squence</source>
        <comment>TAB5_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔相序</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="320"/>
        <source>Speed limit mode select</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list caption</extracomment>
        <translation>限速模式选择</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="321"/>
        <source>extern resistance</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>外部电阻</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="322"/>
        <source>intern set</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>内部设定</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="323"/>
        <source>no limit</source>
        <comment>TAB5_RING_8</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>不限速</translation>
    </message>
</context>
<context>
    <name>uir/PANEL_SET/TABPANEL_6</name>
    <message>
        <location filename="../app/uir/mainwin.uir" line="327"/>
        <source>DEBUG</source>
        <extracomment>tab page caption</extracomment>
        <translation>调试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="328"/>
        <source>Current loop and hall test</source>
        <extracomment>group title</extracomment>
        <translation>电流环与霍尔测试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="329"/>
        <source>Commands</source>
        <extracomment>group title</extracomment>
        <translation>命令</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="330"/>
        <source>Test given current</source>
        <comment>TAB6_NUMERIC_SET_6</comment>
        <extracomment>number field caption</extracomment>
        <translation>测试给定电流</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="331"/>
        <source>Current loop ki</source>
        <comment>TAB6_NUMERIC_SET_2</comment>
        <extracomment>number field caption</extracomment>
        <translation>电流环积分系数</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="332"/>
        <source>Current loop kp</source>
        <comment>TAB6_NUMERIC_SET_1</comment>
        <extracomment>number field caption</extracomment>
        <translation>电流环比例系数</translation>
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
        <translation>确定(__O)</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="335"/>
        <source>Hall angle</source>
        <comment>TAB6_NUMERIC_SET_5</comment>
        <extracomment>number field caption</extracomment>
        <translation>霍尔角度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="341"/>
        <source>Parameter store</source>
        <extracomment>text</extracomment>
        <translation>参数保存</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="342"/>
        <source>Restore factory settings</source>
        <extracomment>text</extracomment>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="343"/>
        <source>degree</source>
        <extracomment>text</extracomment>
        <translation>度</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="345"/>
        <source>Parameter store</source>
        <comment>TAB6_BINARYSWITCH_8</comment>
        <extracomment>switch caption</extracomment>
        <translation>参数保存</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="346"/>
        <source>Restore factory settings</source>
        <comment>TAB6_BINARYSWITCH_7</comment>
        <extracomment>switch caption</extracomment>
        <translation>恢复出厂设置</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="347"/>
        <source>Hall angle test</source>
        <comment>TAB6_BINARYSWITCH_3</comment>
        <extracomment>switch caption</extracomment>
        <translation>霍尔角度测试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="348"/>
        <source>Control mode</source>
        <comment>TAB6_RING_4</comment>
        <extracomment>list caption</extracomment>
        <translation>控制模式</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="349"/>
        <source>HALL angle test</source>
        <comment>TAB6_RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>霍尔角度测试</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="350"/>
        <source>normal run</source>
        <comment>TAB6_RING_4</comment>
        <extracomment>list item, 110 px</extracomment>
        <translation>正常运行</translation>
    </message>
    <message>
        <location filename="../app/uir/mainwin.uir" line="351"/>
        <source>A</source>
        <extracomment>text</extracomment>
        <translation>A</translation>
    </message>
</context>
</TS>
