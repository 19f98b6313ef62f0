<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>FileEdit</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>Unselected!</source>
        <translation>未选择！</translation>
    </message>
    <message>
        <source>Please select RPL or PJ file!</source>
        <translation>请选择RPL或PJ文件！</translation>
    </message>
</context>
<context>
    <name>SoftPlcFun</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Setting PLC Startup Mode</source>
        <translation>设置PLC启动模式</translation>
    </message>
    <message>
        <source>SoftPlc Setting</source>
        <translation>软PLC设置</translation>
    </message>
    <message>
        <source>PLC Name</source>
        <translation>PLC名称</translation>
    </message>
    <message>
        <source>Setting Mode </source>
        <translation>设置模式 </translation>
    </message>
    <message>
        <source>Program Name</source>
        <translation>程序名称</translation>
    </message>
    <message>
        <source>softplc1</source>
        <translation>softplc1</translation>
    </message>
    <message>
        <source>Command Activation</source>
        <translation>指令激活</translation>
    </message>
    <message>
        <source>Auto-Startup</source>
        <translation>自动启动</translation>
    </message>
    <message>
        <source>softplc2</source>
        <translation>softplc2</translation>
    </message>
    <message>
        <source>softplc3</source>
        <translation>softplc3</translation>
    </message>
    <message>
        <source>softplc4</source>
        <translation>softplc4</translation>
    </message>
    <message>
        <source>Warning:The mode is set to auto-startup . Make sure that there is no problem with the plc program.</source>
        <translation>警告：模式设为自动启动时，请确保PLC程序没有问题。</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Unselected</source>
        <translation>未选择</translation>
    </message>
    <message>
        <source>Are you sure to save it?</source>
        <translation>确定要保存吗？</translation>
    </message>
    <message>
        <source>Failed to write file.</source>
        <translation>写入文件失败。</translation>
    </message>
    <message>
        <source>Failed to send file.</source>
        <translation>发送文件失败。</translation>
    </message>
    <message>
        <source>Save successfully.</source>
        <translation>保存成功。</translation>
    </message>
    <message>
        <source>The soft-PLC settings could not be read from the controller, so nothing was saved.</source>
        <translation>无法从控制器读取软PLC设置，因此未保存任何内容。</translation>
    </message>
    <message>
        <source>The soft-PLC settings were read again from the controller. Check them and save again.</source>
        <translation>已从控制器重新读取软PLC设置。请检查后再次保存。</translation>
    </message>
</context>
<context>
    <name>ZuzEraroveMainPage</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Program reservation</source>
        <translation>程序预约</translation>
    </message>
    <message>
        <source>Mode:Alone</source>
        <translation>模式：单独</translation>
    </message>
    <message>
        <source>Protocol:IO</source>
        <translation>协议：IO</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>启动</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>SoftPlc</source>
        <translation>软PLC</translation>
    </message>
    <message>
        <source>PrograMap</source>
        <translation>程序映射</translation>
    </message>
    <message>
        <source>Cancel all</source>
        <translation>全部取消</translation>
    </message>
    <message>
        <source>Clear Total</source>
        <translation>清除计数</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Sequence</source>
        <translation>顺序</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>计数</translation>
    </message>
    <message>
        <source>Reserve</source>
        <translation>预约</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Failed to get file.</source>
        <translation>获取文件失败。</translation>
    </message>
    <message>
        <source>Failed to read file.</source>
        <translation>读取文件失败。</translation>
    </message>
    <message>
        <source>Null</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Res_%1</source>
        <translation>预约_%1</translation>
    </message>
    <message>
        <source>Cancel_%1</source>
        <translation>取消_%1</translation>
    </message>
    <message>
        <source>Mode:%1</source>
        <translation>模式：%1</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二进制</translation>
    </message>
    <message>
        <source>Alone</source>
        <translation>单独</translation>
    </message>
    <message>
        <source>Protocol:%1</source>
        <translation>协议：%1</translation>
    </message>
    <message>
        <source>%1(no file)</source>
        <translation>%1（无文件）</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Unreserved</source>
        <translation>未预约</translation>
    </message>
    <message>
        <source>Reserved</source>
        <translation>已预约</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>运行中</translation>
    </message>
    <message>
        <source>Failed to save file.</source>
        <translation>保存文件失败。</translation>
    </message>
    <message>
        <source>Failed to send file.</source>
        <translation>发送文件失败。</translation>
    </message>
    <message>
        <source>A robot program is running.
Are you sure you want to terminate the program and start the program reservation?</source>
        <translation>机器人程序正在运行。
确定要终止该程序并启动程序预约吗？</translation>
    </message>
    <message>
        <source>The reserved program is running, are you sure to stop the program reservation?
The running program will finish running normally.</source>
        <translation>预约的程序正在运行，确定要停止程序预约吗？
正在运行的程序将正常运行完毕。</translation>
    </message>
    <message>
        <source>Please start before reserving programe.</source>
        <translation>请先启动，再预约程序。</translation>
    </message>
    <message>
        <source>Are you sure to cancel the reservation?</source>
        <translation>确定要取消预约吗？</translation>
    </message>
    <message>
        <source>The program is running. Are you sure to stop and cancel the reservation?</source>
        <translation>程序正在运行。确定要停止并取消预约吗？</translation>
    </message>
    <message>
        <source>Are you sure to cancel all reservations?</source>
        <translation>确定要取消全部预约吗？</translation>
    </message>
    <message>
        <source>Are you sure to clear the total?</source>
        <translation>确定要清除计数吗？</translation>
    </message>
</context>
<context>
    <name>ZuzEraroveSetting</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Program reservation</source>
        <translation>程序预约</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>模式：</translation>
    </message>
    <message>
        <source>Alone</source>
        <translation>单独</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>二进制</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>协议：</translation>
    </message>
    <message>
        <source>IO</source>
        <translation>IO</translation>
    </message>
    <message>
        <source>Modbus-TCP</source>
        <translation>Modbus-TCP</translation>
    </message>
    <message>
        <source>EtherCAT</source>
        <translation>EtherCAT</translation>
    </message>
    <message>
        <source>EtherNet/IP</source>
        <translation>EtherNet/IP</translation>
    </message>
    <message>
        <source>Profinet</source>
        <translation>Profinet</translation>
    </message>
    <message>
        <source>EtherCATMaster</source>
        <translation>EtherCAT主站</translation>
    </message>
    <message>
        <source>Devicenet</source>
        <translation>Devicenet</translation>
    </message>
    <message>
        <source>MtcpMaster</source>
        <translation>Modbus-TCP主站</translation>
    </message>
    <message>
        <source>EipMaster</source>
        <translation>EtherNet/IP主站</translation>
    </message>
    <message>
        <source>ProfinetMaster</source>
        <translation>Profinet主站</translation>
    </message>
    <message>
        <source>DevicenetMaster</source>
        <translation>Devicenet主站</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>编号</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Cycle index</source>
        <translation>循环序号</translation>
    </message>
    <message>
        <source>Unselected</source>
        <translation>未选择</translation>
    </message>
    <message>
        <source>The following files do not exist, please reselect.%1</source>
        <translation>以下文件不存在，请重新选择。%1</translation>
    </message>
    <message>
        <source>Are you sure to restore data from the file?</source>
        <translation>确定要从文件恢复数据吗？</translation>
    </message>
    <message>
        <source>Are you sure not to save settings and exit?</source>
        <translation>确定不保存设置并退出吗？</translation>
    </message>
    <message>
        <source>Are you sure to save it?</source>
        <translation>确定要保存吗？</translation>
    </message>
    <message>
        <source>Failed to write file.</source>
        <translation>写入文件失败。</translation>
    </message>
    <message>
        <source>Failed to send file.</source>
        <translation>发送文件失败。</translation>
    </message>
    <message>
        <source>Save successfully.</source>
        <translation>保存成功。</translation>
    </message>
    <message>
        <source>The settings could not be read from the controller, so nothing was saved. Check the connection, then leave the screen and open it again.</source>
        <translation>无法从控制器读取设置，因此未保存任何内容。请检查连接，然后退出本画面并重新打开。</translation>
    </message>
</context>
<context>
    <name>prograMapWidget</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Program Mapping</source>
        <translation>程序映射</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <source>Program Map Setting</source>
        <translation>程序映射设置</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>清空</translation>
    </message>
    <message>
        <source>ProgramNum</source>
        <translation>程序号</translation>
    </message>
    <message>
        <source>ProgramName</source>
        <translation>程序名</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Failed to get %1 file form Ctrl.</source>
        <translation>从控制器获取%1文件失败。</translation>
    </message>
    <message>
        <source>Failed to read %1 file.</source>
        <translation>读取%1文件失败。</translation>
    </message>
    <message>
        <source>Version update, please confirm whether the &apos;0&apos; program mapping number was configured before! </source>
        <translation>版本更新，请确认之前是否配置过“0”号程序映射！</translation>
    </message>
    <message>
        <source>If yes, change the &apos;0&apos; program mapping number to another unconfigured program number.</source>
        <translation>如果是，请将“0”号程序映射改为其他未配置的程序号。</translation>
    </message>
    <message>
        <source>Program mapping information is duplicated, adding failed!</source>
        <translation>程序映射信息重复，添加失败！</translation>
    </message>
    <message>
        <source>Are you sure Save?</source>
        <translation>确定保存吗？</translation>
    </message>
    <message>
        <source>Failed write %1 file.</source>
        <translation>写入%1文件失败。</translation>
    </message>
    <message>
        <source>Save file successfully.</source>
        <translation>文件保存成功。</translation>
    </message>
    <message>
        <source>Failed send %1 file to Ctrl.</source>
        <translation>发送%1文件到控制器失败。</translation>
    </message>
    <message>
        <source>Are you sure you want to restore the list?</source>
        <translation>确定要恢复列表吗？</translation>
    </message>
    <message>
        <source>Are you sure you want to clear the list?</source>
        <translation>确定要清空列表吗？</translation>
    </message>
    <message>
        <source>Do you want to exit the current page modification?</source>
        <translation>确定要放弃当前页面的修改并退出吗？</translation>
    </message>
    <message>
        <source>The program map could not be read from the controller, so nothing was saved. Press Reset to read it again.</source>
        <translation>无法从控制器读取程序映射，因此未保存任何内容。请按“重置”重新读取。</translation>
    </message>
</context>
</TS>
