<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AlarmCommands</name>
    <message>
        <source>%1 &quot;%2&quot; 不对：%3</source>
        <translation>%1 &quot;%2&quot; is wrong: %3</translation>
    </message>
    <message>
        <source>时间 &quot;%1&quot; 不对：应为 HH:MM 或 HH:MM:SS，从 00:00 到 23:59:59</source>
        <translation>time &quot;%1&quot; is wrong: give HH:MM or HH:MM:SS, from 00:00 to 23:59:59</translation>
    </message>
    <message>
        <source>--date &quot;%1&quot; 不对：没有这一天（应为 YYYY-MM-DD）</source>
        <translation>--date &quot;%1&quot; is wrong: there is no such day (give YYYY-MM-DD)</translation>
    </message>
    <message>
        <source>--days &quot;%1&quot; 不对：每一位是 1（星期一）到 7（星期日）</source>
        <translation>--days &quot;%1&quot; is wrong: each digit is 1 (Monday) to 7 (Sunday)</translation>
    </message>
    <message>
        <source>开</source>
        <translation>on</translation>
    </message>
    <message>
        <source>关</source>
        <translation>off</translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation>Extra arguments: %1</translation>
    </message>
    <message>
        <source>alarm %1 需要一个闹钟编号</source>
        <translation>alarm %1 needs an alarm number</translation>
    </message>
    <message>
        <source>%1 后面缺少值</source>
        <translation>%1 needs a value</translation>
    </message>
    <message>
        <source>未知选项：%1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>alarm add 需要闹铃时间 HH:MM[:SS]</source>
        <translation>alarm add needs the time to ring, HH:MM[:SS]</translation>
    </message>
    <message>
        <source>--repeat &quot;%1&quot; 不对：应为 once、hourly、daily、weekly、monthly 或 yearly</source>
        <translation>--repeat &quot;%1&quot; is wrong: give once, hourly, daily, weekly, monthly or yearly</translation>
    </message>
    <message>
        <source>--days 只用于 --repeat weekly</source>
        <translation>--days goes only with --repeat weekly</translation>
    </message>
    <message>
        <source>--date 只用于 --repeat once、monthly 或 yearly</source>
        <translation>--date goes only with --repeat once, monthly or yearly</translation>
    </message>
    <message>
        <source>--sound 和 --play 只能选一个</source>
        <translation>give --sound or --play, not both</translation>
    </message>
    <message>
        <source>应为内置声音 0 到 10</source>
        <translation>give a built-in sound from 0 to 10</translation>
    </message>
    <message>
        <source>--play 最多 %1 个文件</source>
        <translation>--play takes at most %1 files</translation>
    </message>
    <message>
        <source>--play &quot;%1&quot; 不对：没有这个文件</source>
        <translation>--play &quot;%1&quot; is wrong: there is no such file</translation>
    </message>
    <message>
        <source>应为 0 到 100（百分比）</source>
        <translation>give 0 to 100 (per cent)</translation>
    </message>
    <message>
        <source>应为 0 到 59 分钟</source>
        <translation>give 0 to 59 minutes</translation>
    </message>
    <message>
        <source>未知字段：%1</source>
        <translation>Unknown field: %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 不是闹钟编号（0 到 %2）</source>
        <translation>&quot;%1&quot; is not an alarm number (0 to %2)</translation>
    </message>
    <message>
        <source>没有编号为 %1 的闹钟</source>
        <translation>There is no alarm number %1</translation>
    </message>
    <message>
        <source>已有 %1 个闹钟，不能再添加</source>
        <translation>The list already holds %1 alarms; no more can be added</translation>
    </message>
    <message>
        <source>没有正在响的闹钟</source>
        <translation>No alarm is ringing</translation>
    </message>
    <message>
        <source>未知命令：%1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>belvane: 运行中的 Belvane 没有应答（命令太长时请在会话总线上运行它）
</source>
        <translation>belvane: the running Belvane did not answer (for a command this long, run it on the session bus)
</translation>
    </message>
    <message>
        <source>没有动作 &quot;%1&quot;</source>
        <translation>No action &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>AlarmDispatcher</name>
    <message>
        <source>错过的闹钟：</source>
        <translation>Missed alarms:</translation>
    </message>
</context>
<context>
    <name>AlarmListFile</name>
    <message>
        <source>无法删除文件&quot;%1&quot;</source>
        <translation>Cannot delete the file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>无法写入文件&quot;%1&quot;</source>
        <translation>Cannot write the file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>第 1 行应是闹钟的个数（0 到 %1），却是&quot;%2&quot;</source>
        <translation>line 1 should hold the number of alarms (0 to %1), but reads &quot;%2&quot;</translation>
    </message>
    <message>
        <source>第 1 行说有 %1 个闹钟，文件却在第 %2 个闹钟之前就结束了</source>
        <translation>line 1 counts %1 alarms, but the file ends before alarm %2</translation>
    </message>
    <message>
        <source>第 %1 个闹钟（第 %2 到 %3 行）：%4</source>
        <translation>alarm %1 (lines %2 to %3): %4</translation>
    </message>
    <message>
        <source>第 1 行说有 %1 个闹钟，后面却还有更多的闹钟</source>
        <translation>line 1 counts %1 alarms, but more alarms follow them</translation>
    </message>
    <message>
        <source>闹钟列表文件&quot;%1&quot;已损坏：%2。
读出并保留了其中 %3 个闹钟。原文件已原样保存为&quot;%4&quot;。</source>
        <translation>The alarm list file &quot;%1&quot; is damaged: %2.
Alarms read and kept: %3. The original file was saved unchanged as &quot;%4&quot;.</translation>
    </message>
    <message>
        <source>没有读出的闹钟：</source>
        <translation>Alarms that were not loaded:</translation>
    </message>
    <message>
        <source>闹钟列表文件&quot;%1&quot;已损坏，关于它的报告还开着。请先读完并关闭那份报告（它在最前面），再修改闹钟。</source>
        <translation>The alarm list file &quot;%1&quot; is damaged and its report is still open. Read and close that report (it is in front) before changing the alarms.</translation>
    </message>
</context>
<context>
    <name>AlarmRecord</name>
    <message>
        <source>固定的一天</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>每小时</source>
        <translation>Hourly</translation>
    </message>
    <message>
        <source>每天 </source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>每星期</source>
        <translation>Weekly</translation>
    </message>
    <message>
        <source>每月   </source>
        <translation>Monthly</translation>
    </message>
    <message>
        <source>每年  </source>
        <translation>Yearly</translation>
    </message>
    <message>
        <source>鸡啼声 </source>
        <translation>Rooster</translation>
    </message>
    <message>
        <source>布谷鸟</source>
        <translation>Cuckoo</translation>
    </message>
    <message>
        <source>闹铃声    </source>
        <translation>Alarm bell</translation>
    </message>
    <message>
        <source>掌声     </source>
        <translation>Applause</translation>
    </message>
    <message>
        <source>爆炸声 </source>
        <translation>Explosion</translation>
    </message>
    <message>
        <source>玻璃 </source>
        <translation>Glass</translation>
    </message>
    <message>
        <source>牛 </source>
        <translation>Cow</translation>
    </message>
    <message>
        <source>跳弹声  </source>
        <translation>Ricochet</translation>
    </message>
    <message>
        <source>汽车喇叭</source>
        <translation>Car horn</translation>
    </message>
    <message>
        <source>门铃    </source>
        <translation>Doorbell</translation>
    </message>
    <message>
        <source>鼓声    </source>
        <translation>Drum roll</translation>
    </message>
    <message>
        <source>&quot;%1&quot;不是一天中的时刻</source>
        <translation>&quot;%1&quot; is not a time of day</translation>
    </message>
    <message>
        <source>&quot;%1&quot;不是日期</source>
        <translation>&quot;%1&quot; is not a date</translation>
    </message>
</context>
<context>
    <name>AlarmSettingsFile</name>
    <message>
        <source>%1:%2:%3 不是一天中的时刻</source>
        <translation>%1:%2:%3 is not a time of day</translation>
    </message>
    <message>
        <source>%1 年 %2 月 %3 日不是日期</source>
        <translation>day %3 of month %2 of the year %1 is not a date</translation>
    </message>
    <message>
        <source>找不到文件&quot;%1&quot;</source>
        <translation>The file &quot;%1&quot; was not found</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>%1 个闹钟永远不会响：%2</source>
        <translation>%1 alarm(s) will never ring: %2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>Belvane</name>
    <message>
        <source>index.htm</source>
        <translation>index.en.htm</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Belvane: 桌面闹钟。</source>
        <translation>Belvane: a desktop alarm clock.</translation>
    </message>
    <message>
        <source>显示此帮助并退出。</source>
        <translation>Show this help and exit.</translation>
    </message>
    <message>
        <source>显示版本并退出。</source>
        <translation>Show the version and exit.</translation>
    </message>
    <message>
        <source>闹钟和设置文件存放在 &lt;目录&gt; 中（默认 ~/.config/belvane）。</source>
        <translation>Keep the alarms and settings in &lt;folder&gt; (by default ~/.config/belvane).</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>folder</translation>
    </message>
    <message>
        <source>界面语言：zh（中文）或 en（English）。</source>
        <translation>Interface language: zh (中文) or en (English).</translation>
    </message>
    <message>
        <source>未知参数：%1</source>
        <translation>Unknown argument: %1</translation>
    </message>
    <message>
        <source>belvane: --lang 只能是 zh 或 en，不能是 &quot;%1&quot;
</source>
        <translation>belvane: --lang takes zh or en, not &quot;%1&quot;
</translation>
    </message>
    <message>
        <source>启动时钟（或找到正在运行的时钟）并打开窗口：new-alarm 或 alarm-list。</source>
        <translation>Start the clock (or reach the running one) and open a window: new-alarm or alarm-list.</translation>
    </message>
    <message>
        <source>belvane: --open 只能是 new-alarm 或 alarm-list，不能是 &quot;%1&quot;
</source>
        <translation>belvane: --open takes new-alarm or alarm-list, not &quot;%1&quot;
</translation>
    </message>
    <message>
        <source>命令（时钟在运行时由它执行，否则直接修改闹钟文件）：</source>
        <translation>Commands (carried out by the clock when it runs, else on the alarm files):</translation>
    </message>
    <message>
        <source>  alarm add HH:MM[:SS] [--name 文本] [--repeat once|hourly|daily|weekly|monthly|yearly]</source>
        <translation>  alarm add HH:MM[:SS] [--name TEXT] [--repeat once|hourly|daily|weekly|monthly|yearly]</translation>
    </message>
    <message>
        <source>            [--days 数字] [--date YYYY-MM-DD] [--sound 0-10 | --play 文件...]</source>
        <translation>            [--days DIGITS] [--date YYYY-MM-DD] [--sound 0-10 | --play FILE...]</translation>
    </message>
    <message>
        <source>            [--volume 0-100] [--snooze 分钟]</source>
        <translation>            [--volume 0-100] [--snooze MINUTES]</translation>
    </message>
    <message>
        <source>                      添加闹钟并显示它的编号。--days 是星期几，1 = 星期一 … 7 = 星期日</source>
        <translation>                      Add an alarm and print its number. --days: weekdays, 1 = Monday ... 7 = Sunday</translation>
    </message>
    <message>
        <source>                      （每星期的默认值 12345）；--date 用于 once、monthly 和 yearly，默认今天。</source>
        <translation>                      (12345 for weekly); --date for once, monthly and yearly, today by default.</translation>
    </message>
    <message>
        <source>  alarm list [--json]  列出闹钟：编号、名称、频率、时间、开关、下次响铃。</source>
        <translation>  alarm list [--json]  List the alarms: number, name, frequency, time, on/off, next ring.</translation>
    </message>
    <message>
        <source>  alarm remove N       删除闹钟 N。</source>
        <translation>  alarm remove N       Remove alarm N.</translation>
    </message>
    <message>
        <source>  alarm on N | off N   打开或关闭闹钟 N。</source>
        <translation>  alarm on N | off N   Switch alarm N on or off.</translation>
    </message>
    <message>
        <source>  alarm next           显示下一个要响的闹钟；没有时退出状态为 1。</source>
        <translation>  alarm next           Show the alarm that rings next; exit status 1 when none will.</translation>
    </message>
    <message>
        <source>  ringing stop         停止正在响的闹钟，如同按下“确定”；没有时退出状态为 1。</source>
        <translation>  ringing stop         Stop the ringing alarm as its OK button does; exit status 1 when none rings.</translation>
    </message>
    <message>
        <source>  ringing snooze       让正在响的闹钟打盹儿；没有时退出状态为 1。</source>
        <translation>  ringing snooze       Snooze the ringing alarm; exit status 1 when none rings.</translation>
    </message>
    <message>
        <source>退出状态：0 成功，1 没有可显示或可做的，2 参数错误（什么也没有改变）。</source>
        <translation>Exit status: 0 done, 1 nothing to show or do, 2 bad input (nothing was changed).</translation>
    </message>
</context>
<context>
    <name>FileFilter</name>
    <message>
        <source>所有支持的文件</source>
        <translation>All supported files</translation>
    </message>
    <message>
        <source>音频文件</source>
        <translation>Audio files</translation>
    </message>
    <message>
        <source>视频文件</source>
        <translation>Video files</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>后退</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>前进</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Belvane 帮助</source>
        <translation>Belvane Help</translation>
    </message>
    <message>
        <source>找不到帮助文件&quot;%1&quot;。</source>
        <translation>The help file &quot;%1&quot; cannot be found.</translation>
    </message>
    <message>
        <source>无法打开帮助文件&quot;%1&quot;：%2</source>
        <translation>Cannot open the help file &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>InterfaceLanguage</name>
    <message>
        <source>--lang 只能是 zh 或 en，不能是&quot;%1&quot;</source>
        <translation>--lang takes zh or en, not &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>LineFile</name>
    <message>
        <source>无法打开文件&quot;%1&quot;：%2</source>
        <translation>Cannot open the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法读取文件&quot;%1&quot;：%2</source>
        <translation>Cannot read the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法写入文件&quot;%1&quot;：%2</source>
        <translation>Cannot write the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>这一行是空的，应是一个整数</source>
        <translation>the line is empty where a whole number belongs</translation>
    </message>
    <message>
        <source>&quot;%1&quot;不是整数</source>
        <translation>&quot;%1&quot; is not a whole number</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>belvane: 无法连接到图形界面（DISPLAY 和 WAYLAND_DISPLAY 都未设置或无法连接）
</source>
        <translation>belvane: cannot reach a graphical display (DISPLAY and WAYLAND_DISPLAY are unset or do not answer)
</translation>
    </message>
    <message>
        <source>belvane: 已有一个 Belvane 在运行，但它没有应答；请结束它后再启动。
</source>
        <translation>belvane: a Belvane is already running but does not answer; end it, then start again.
</translation>
    </message>
    <message>
        <source>无法在 %1 等待再次启动（%2）：闹钟照常响铃，但再次启动的 Belvane 找不到这一个。</source>
        <translation>Cannot wait for a second start at %1 (%2): alarms ring as always, but a second start of Belvane will not find this one.</translation>
    </message>
</context>
<context>
    <name>NextRingText</name>
    <message>
        <source>今天</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>明天</source>
        <translation>Tomorrow</translation>
    </message>
    <message>
        <source>周一</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>周二</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>周三</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>周四</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>周五</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>周六</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>周日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>%1月%2日</source>
        <translation>%1/%2</translation>
    </message>
    <message>
        <source>%1年%2月%3日</source>
        <translation>%2/%3/%1</translation>
    </message>
    <message>
        <source>下次</source>
        <translation>next</translation>
    </message>
    <message>
        <source>打盹至</source>
        <translation>snoozed until</translation>
    </message>
</context>
<context>
    <name>OffSwitches</name>
    <message>
        <source>第 %1 行的&quot;%2&quot;不是 0 到 %3 的闹钟编号</source>
        <translation>&quot;%2&quot; on line %1 is not an alarm number from 0 to %3</translation>
    </message>
    <message>
        <source>记录哪些闹钟已关闭的文件&quot;%1&quot;无法读取（%2），所以现在所有闹钟都是开着的。原文件已原样保存为&quot;%3&quot;。</source>
        <translation>The file of switched-off alarms &quot;%1&quot; could not be read (%2), so every alarm is on. The original file was saved unchanged as &quot;%3&quot;.</translation>
    </message>
</context>
<context>
    <name>OptionsFile</name>
    <message>
        <source>选项文件&quot;%1&quot;%2有误（%3）：此前的选项已读出，此后的选项保持初始值。</source>
        <translation>The options file &quot;%1&quot; is wrong at %2 (%3): the options before it were read, the ones after it keep their initial values.</translation>
    </message>
    <message>
        <source>第 %1 行</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>%1:%2:%3 不是一天中的时刻</source>
        <translation>%1:%2:%3 is not a time of day</translation>
    </message>
    <message>
        <source>第 %1 到 %2 行</source>
        <translation>lines %1 to %2</translation>
    </message>
</context>
<context>
    <name>RingNotification</name>
    <message>
        <source>闹铃</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>打盹儿</source>
        <translation>Snooze</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>RingRequest</name>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 分钟</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>原定 %1 响铃（晚了 %2）</source>
        <translation>Due at %1 (%2 late)</translation>
    </message>
</context>
<context>
    <name>RingingSession</name>
    <message>
        <source>播放列表是空的，改放闹铃声音</source>
        <translation>The play list is empty: ringing the alarm sound</translation>
    </message>
    <message>
        <source>播放列表中的文件都无法播放，改放闹铃声音</source>
        <translation>No play-list file can play: ringing the alarm sound</translation>
    </message>
    <message>
        <source>没有这个闹铃声音，改放默认闹铃声音</source>
        <translation>No such alarm sound: ringing the default alarm sound</translation>
    </message>
    <message>
        <source>无人应答：响了 %1 分钟后停止</source>
        <translation>Unanswered: stopped after ringing %1 min</translation>
    </message>
    <message>
        <source>无人应答：声音播放一遍后停止</source>
        <translation>Unanswered: stopped after playing once</translation>
    </message>
    <message>
        <source>播放列表已放完</source>
        <translation>The play list has been played through</translation>
    </message>
</context>
<context>
    <name>SleepDelay</name>
    <message>
        <source>闹钟在睡眠前设置唤醒定时器</source>
        <translation>The alarm clock sets its wake timer before the computer sleeps</translation>
    </message>
</context>
<context>
    <name>TAlarmOptions</name>
    <message>
        <source>时间，日期</source>
        <translation>Time, date</translation>
    </message>
    <message>
        <source>小时，分钟</source>
        <translation>Minute, second</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>时间，星期几</source>
        <translation>Time, weekdays</translation>
    </message>
    <message>
        <source>时间，月份和日期</source>
        <translation>Time, month and day</translation>
    </message>
    <message>
        <source>星期天</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>星期一</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>星期二</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>星期三</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>星期四</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>星期五</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>星期六</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>时间到了，该做计划好的事情了！</source>
        <translation>It&apos;s time for what you planned!</translation>
    </message>
    <message>
        <source>闹钟设置</source>
        <translation>Alarm settings</translation>
    </message>
    <message>
        <source>基本设置</source>
        <translation>General</translation>
    </message>
    <message>
        <source>声音和音乐</source>
        <translation>Sound and music</translation>
    </message>
    <message>
        <source>音量控制</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>提醒文本：</source>
        <translation>Reminder:</translation>
    </message>
    <message>
        <source>频率：</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>时间，日期和星期几</source>
        <translation>Time, date and weekdays</translation>
    </message>
    <message>
        <source>时间：</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>日期：</source>
        <translation>Date:</translation>
    </message>
    <message>
        <source>获取当前时间</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>星期几：</source>
        <translation>Weekdays:</translation>
    </message>
    <message>
        <source>播放音频和视频：</source>
        <translation>Play audio and video:</translation>
    </message>
    <message>
        <source>播放列表</source>
        <translation>Play list</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>播放列表是空的：响铃时将改放闹铃声音</source>
        <translation>The play list is empty: the alarm will ring its alarm sound instead.</translation>
    </message>
    <message>
        <source>播放闹铃声音</source>
        <translation>Play an alarm sound</translation>
    </message>
    <message>
        <source>持续</source>
        <translation>for</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>min</translation>
    </message>
    <message>
        <source>试响</source>
        <translation>Try</translation>
    </message>
    <message>
        <source>现在按这些设置响铃一次，不保存</source>
        <translation>Ring these settings once now, without saving them</translation>
    </message>
    <message>
        <source>开头      分钟进行淡入处理</source>
        <translation>                 minutes of fade-in at the start</translation>
    </message>
    <message>
        <source>播放       分钟后开始进行淡出处理</source>
        <translation>                      minutes of playing, then fade out</translation>
    </message>
    <message>
        <source>播放音乐      分钟后自动开始打盹儿</source>
        <translation>                        minutes of ringing, then snooze</translation>
    </message>
    <message>
        <source>默认打盹儿时间：</source>
        <translation>Snooze for:</translation>
    </message>
    <message>
        <source>闹铃音量</source>
        <translation>Alarm volume</translation>
    </message>
    <message>
        <source>关闭方式</source>
        <translation>Closing</translation>
    </message>
    <message>
        <source>不自动关闭闹铃窗口。</source>
        <translation>Do not close the alarm window by itself.</translation>
    </message>
    <message>
        <source>播放声音或音乐文件完毕后自动关闭窗口。</source>
        <translation>Close the window when the sound has finished.</translation>
    </message>
    <message>
        <source>自动关闭于        分钟后。</source>
        <translation>Close after          minutes.</translation>
    </message>
    <message>
        <source>节电</source>
        <translation>Power saving</translation>
    </message>
    <message>
        <source>您可以通过关机或关闭显示器来节电。</source>
        <translation>Save power: turn the display off or shut down.</translation>
    </message>
    <message>
        <source>什么也不做</source>
        <translation>Do nothing</translation>
    </message>
    <message>
        <source>关闭显示器</source>
        <translation>Turn the display off</translation>
    </message>
    <message>
        <source>待机</source>
        <translation>Standby</translation>
    </message>
    <message>
        <source>关机</source>
        <translation>Shut down</translation>
    </message>
    <message>
        <source>提醒文本</source>
        <translation>Reminder text</translation>
    </message>
    <message>
        <source>时间（小时，分钟，秒）</source>
        <translation>Time (hour, minute, second)</translation>
    </message>
    <message>
        <source>日期（年，月，日）</source>
        <translation>Date (year, month, day)</translation>
    </message>
    <message>
        <source>持续（分钟）</source>
        <translation>Lasting (minutes)</translation>
    </message>
    <message>
        <source>开头进行淡入处理（分钟）</source>
        <translation>Fade in over the first (minutes)</translation>
    </message>
    <message>
        <source>播放后开始进行淡出处理（分钟）</source>
        <translation>Fade out after playing (minutes)</translation>
    </message>
    <message>
        <source>播放音乐后自动开始打盹儿（分钟）</source>
        <translation>Snooze by itself after playing (minutes)</translation>
    </message>
    <message>
        <source>默认打盹儿时间（分钟）</source>
        <translation>Default snooze time (minutes)</translation>
    </message>
    <message>
        <source>闹铃音量（百分比）</source>
        <translation>Alarm volume (percent)</translation>
    </message>
    <message>
        <source>自动关闭于（分钟）</source>
        <translation>Close by itself after (minutes)</translation>
    </message>
    <message>
        <source>播放列表最多只能有 %1 个文件，不能再添加。请先删除不需要的文件。</source>
        <translation>A play list holds at most %1 files; no more can be added. Please delete files you do not need first.</translation>
    </message>
    <message>
        <source>%1 分钟超出了 0 到 59 分钟</source>
        <translation>%1 minutes is outside 0 to 59 minutes</translation>
    </message>
    <message>
        <source>找不到文件&quot;%1&quot;</source>
        <translation>The file &quot;%1&quot; was not found</translation>
    </message>
</context>
<context>
    <name>TAlarmRun</name>
    <message>
        <source>闹铃</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>提醒：</source>
        <translation>Reminder:</translation>
    </message>
    <message>
        <source>提醒</source>
        <translation>Reminder</translation>
    </message>
    <message>
        <source>打盹儿</source>
        <translation>Snooze</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TFilterGraph</name>
    <message>
        <source>媒体框架拒绝了这一操作。</source>
        <translation>The media framework refused to do this.</translation>
    </message>
    <message>
        <source>没有指定媒体文件。</source>
        <translation>No media file was given.</translation>
    </message>
    <message>
        <source>文件&quot;%1&quot;没能准备好播放。</source>
        <translation>The file &quot;%1&quot; did not become ready to play.</translation>
    </message>
</context>
<context>
    <name>TFormAbout</name>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Belvane 汉化版</source>
        <translation>Belvane</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>使用手册（本机）</source>
        <translation>User manual (on this computer)</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>TFormAlarmList</name>
    <message>
        <source>闹钟</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>频率</source>
        <translation>Repeats</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>下次响铃</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>隐藏(&amp;R)</source>
        <translation>&amp;Hide</translation>
    </message>
    <message>
        <source>关于(&amp;B)</source>
        <translation>A&amp;bout</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>已有 %1 个闹钟，不能再添加。请先删除不再需要的闹钟。</source>
        <translation>There are already %1 alarms; no more can be added. Please delete alarms you no longer need first.</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
</context>
<context>
    <name>TFormMain</name>
    <message>
        <source>闹钟</source>
        <translation>Alarms</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>皮肤</source>
        <translation>Skins</translation>
    </message>
    <message>
        <source>电子表</source>
        <translation>Digital</translation>
    </message>
    <message>
        <source>圣诞老人</source>
        <translation>Santa Claus</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>隐藏</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>无法打开图片文件&quot;%1&quot;</source>
        <translation>Cannot open the picture file &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Send to tray</source>
        <translation>Send to tray</translation>
    </message>
</context>
<context>
    <name>TFormOptions</name>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>基本选项</source>
        <translation>General</translation>
    </message>
    <message>
        <source>整点闹铃声</source>
        <translation>Chimes</translation>
    </message>
    <message>
        <source>登录时运行闹铃</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <source>程序启动后自动最小化到系统栏</source>
        <translation>Start hidden in the tray</translation>
    </message>
    <message>
        <source>以全屏模式播放闹铃视频</source>
        <translation>Play alarm videos full screen</translation>
    </message>
    <message>
        <source>时间格式：</source>
        <translation>Time format:</translation>
    </message>
    <message>
        <source>标准格式 (AM/PM)</source>
        <translation>12-hour (AM/PM)</translation>
    </message>
    <message>
        <source>官方格式 (24 小时制)</source>
        <translation>24-hour</translation>
    </message>
    <message>
        <source>选择一个声音文件作为闹铃声：</source>
        <translation>Sound file to chime with:</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>启用整点闹铃</source>
        <translation>Chime on the hour</translation>
    </message>
    <message>
        <source>启用半点闹铃</source>
        <translation>Chime on the half hour</translation>
    </message>
    <message>
        <source>启用每刻钟闹铃</source>
        <translation>Chime on the quarter hours</translation>
    </message>
    <message>
        <source>只在下面时间范围内启用闹铃：</source>
        <translation>Chime only within these times:</translation>
    </message>
    <message>
        <source>从</source>
        <translation>From</translation>
    </message>
    <message>
        <source>到</source>
        <translation>to</translation>
    </message>
    <message>
        <source>闹铃声文件</source>
        <translation>Chime sound file</translation>
    </message>
    <message>
        <source>从（小时，分钟，秒）</source>
        <translation>From (hour, minute, second)</translation>
    </message>
    <message>
        <source>到（小时，分钟，秒）</source>
        <translation>To (hour, minute, second)</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TFormPlay</name>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
</context>
<context>
    <name>TFormRunPlay</name>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>闹铃视频</source>
        <translation>Alarm video</translation>
    </message>
</context>
<context>
    <name>TrayRingingEntries</name>
    <message>
        <source>停止闹铃</source>
        <translation>Stop the alarm</translation>
    </message>
    <message>
        <source>打盹儿</source>
        <translation>Snooze</translation>
    </message>
</context>
<context>
    <name>UnansweredNotification</name>
    <message>
        <source>闹钟“%1”（%2）无人应答</source>
        <translation>Alarm “%1” (%2) was not answered</translation>
    </message>
    <message>
        <source>打开闹钟列表</source>
        <translation>Open the alarm list</translation>
    </message>
</context>
<context>
    <name>WakeGuard</name>
    <message>
        <source>闹钟正在响铃</source>
        <translation>An alarm is ringing</translation>
    </message>
    <message>
        <source>能唤醒电脑</source>
        <translation>Can wake the computer</translation>
    </message>
    <message>
        <source>不能唤醒电脑：%1</source>
        <translation>Cannot wake the computer: %1</translation>
    </message>
    <message>
        <source>闹钟“%1”（%2）无法唤醒电脑：它会在电脑醒来后响</source>
        <translation>Alarm “%1” (%2) cannot wake the computer: it will ring when the computer wakes up</translation>
    </message>
</context>
<context>
    <name>WakeTimer</name>
    <message>
        <source>找不到唤醒程序 %1</source>
        <translation>The wake helper %1 was not found</translation>
    </message>
    <message>
        <source>唤醒程序没有 cap_wake_alarm 权限</source>
        <translation>The wake helper lacks the cap_wake_alarm capability</translation>
    </message>
    <message>
        <source>唤醒程序无法设置唤醒定时器</source>
        <translation>The wake helper cannot set a wake timer</translation>
    </message>
    <message>
        <source>唤醒程序尚未就绪</source>
        <translation>The wake helper is not ready yet</translation>
    </message>
    <message>
        <source>唤醒程序意外结束，正在重新启动</source>
        <translation>The wake helper ended unexpectedly and is being started again</translation>
    </message>
</context>
</TS>
