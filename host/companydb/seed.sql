-- The demo company: company C01 in database KPADB, the decision-analysis program KPAB02 with its
-- seventeen published documents, message templates, settings, users, and the message catalogue.
-- The users' rights are in rights.sql (they live in the application server's table). The base
-- address of the documents (ADMMS.MS003) is filled by kpa-companydb, which knows where the
-- sample documents lie.

INSERT INTO COMPANIES (COMPANY, DBNAME, TITLE) VALUES ('C01', 'KPADB', '示范科技股份有限公司');

INSERT INTO SYSINFO (COMPANY, ITEM, VALUE) VALUES
    ('C01', 'Sys001', '1'),
    ('C01', 'Sys002', '/'),
    ('C01', 'TGK002', '示范科技股份有限公司'),
    ('C01', 'SYS007', '商品大类'),
    ('C01', 'SYS008', '商品中类'),
    ('C01', 'SYS009', '商品小类'),
    ('C01', 'SYS010', '商品品牌');

INSERT INTO ADMMB (MB001, MB002, MB003, MB004, MB005, MB006, MB007, MB008, MB009, MB010) VALUES
    ('KPAB02', '薪工决策分析信息', 'B', 'KPA', 'N', '1', '7.1.0', 'Payroll Decision Analysis', 'N', ''),
    ('KPAH01', '薪资总额趋势分析', 'H', 'KPA', 'N', '', '7.1.0', 'Payroll Total Trend', 'Y', ''),
    ('KPAH02', '部门薪资结构分析', 'H', 'KPA', 'N', '', '7.1.0', 'Payroll Structure by Department', 'Y', ''),
    ('KPAH03', '人均薪资对比分析', 'H', 'KPA', 'N', '', '7.1.0', 'Average Pay Comparison', 'Y', ''),
    ('KPAH04', '薪资等级分布分析', 'H', 'KPA', 'N', '', '7.1.0', 'Pay Grade Distribution', 'Y', ''),
    ('KPAH05', '加班费用统计分析', 'H', 'KPA', 'N', '', '7.1.0', 'Overtime Cost', 'Y', ''),
    ('KPAH06', '奖金发放结构分析', 'H', 'KPA', 'N', '', '7.1.0', 'Bonus Structure', 'Y', ''),
    ('KPAH07', '社会保险费用分析', 'H', 'KPA', 'N', '', '7.1.0', 'Social Insurance Cost', 'Y', ''),
    ('KPAH08', '住房公积金缴存分析', 'H', 'KPA', 'N', '', '7.1.0', 'Housing Fund Contributions', 'Y', ''),
    ('KPAH09', '个人所得税代扣分析', 'H', 'KPA', 'N', '', '7.1.0', 'Income Tax Withholding', 'Y', ''),
    ('KPAH10', '人工成本占营收比率分析', 'H', 'KPA', 'N', '', '7.1.0', 'Labour Cost to Revenue', 'Y', ''),
    ('KPAH11', '员工薪资增长分析', 'H', 'KPA', 'N', '', '7.1.0', 'Pay Growth', 'Y', ''),
    ('KPAH12', '岗位薪酬水平对比分析', 'H', 'KPA', 'N', '', '7.1.0', 'Pay Level by Position', 'Y', ''),
    ('KPAH13', '考勤扣款统计分析', 'H', 'KPA', 'N', '', '7.1.0', 'Attendance Deductions', 'Y', ''),
    ('KPAH14', '离职员工薪资分析', 'H', 'KPA', 'N', '', '7.1.0', 'Pay of Leavers', 'Y', ''),
    ('KPAH15', '新进员工起薪分析', 'H', 'KPA', 'N', '', '7.1.0', 'Starting Pay of New Staff', 'Y', ''),
    ('KPAH16', '年度薪资预算执行分析', 'H', 'KPA', 'N', '', '7.1.0', 'Payroll Budget Execution', 'Y', '1,2,3,4'),
    ('KPAH17', '薪资异动明细分析', 'H', 'KPA', 'N', '', '7.1.0', 'Pay Changes in Detail', 'Y', '1,2,3,4');

INSERT INTO ADMMS (MS001, MS002, MS003, MS004) VALUES
    ('KPA', '薪工决策分析', '', '决策分析信息文档的发布地址: 地址 + 公司代号 + \KPA\ + 文档代号 + .htm');

INSERT INTO TGKMA (MA001, MA002, MA003, MA004, MA005, MA006, MA007) VALUES
    ('ADMIN', '系统管理员', '13800000000', 'admin@example.com', '1', '信息部', 'N'),
    ('U001', '张伟', '13900000001', 'zhangwei@example.com', '1', '财务部', 'N'),
    ('U002', '李娜', '13900000002', 'lina@example.com', '1', '人力资源部', 'N'),
    ('U003', '王芳', '', 'wangfang@example.com', '1', '人力资源部', 'N'),
    ('U004', '刘强', '13900000004', '', '1', '生产部', 'Y');

INSERT INTO TGKINTMA (MA001, MA002, MA003) VALUES
    ('StartupPortal', '启用企业门户 (Y/N)', 'N'),
    ('Portal WS', '企业门户 Web 服务地址', 'http://127.0.0.1:8080/portal/services/PortalService'),
    ('ProductID', '产品代码 (1 标准版, 5 普及版)', '1');

INSERT INTO TMCMC (MC001, MC002, MC003, MC004, MC005) VALUES
    ('KPA', 'KPAB02', '薪工决策分析处理完毕通知', '直接处理后通知相关人员', 'KPAB02');

INSERT INTO TMCMD (MD001, MD002, MD003, MD004, MD005, MD006, MD007) VALUES
    ('KPA', 'KPAB02', '1', '6', '任务消息: 系统管理员', 'ADMIN',
     '<?xml version="1.0" encoding="GB2312"?><MD007><Receiver><R1 ID="ADMIN" Name="系统管理员" Type="1" Msg="YNN"/></Receiver><Title Value="薪工决策分析信息处理完毕"/></MD007>'
     || '||薪工决策分析信息文档已更新, 请至决策分析信息查阅。[**********]||KPAB02'),
    ('KPA', 'KPAB02', '2', '6', '任务消息: 人力资源', 'ADMIN',
     '<?xml version="1.0" encoding="GB2312"?><MD007><Receiver><R1 ID="U001" Name="张伟" Type="1" Msg="YNN"/><R2 ID="U002" Name="李娜" Type="1" Msg="YNY"/></Receiver><Title Value="本月薪资决策分析文档已发布"/></MD007>'
     || '||本月薪资决策分析文档已发布, 请查阅薪资总额趋势与部门薪资结构。[**********]||KPAH01'),
    ('KPA', 'KPAB02', '3', '1', '邮件: 系统管理员', 'ADMIN',
     '<?xml version="1.0" encoding="GB2312"?><MD007><Receiver><R1 ID="ADMIN" Name="系统管理员" Type="1" Msg="NNY"/></Receiver><Title Value="薪工决策分析信息处理完毕"/></MD007>'
     || '||薪工决策分析信息已处理完毕。||KPAB02');

-- The message catalogue. The texts are arguments of other messages where a code is followed by
-- another text ("E;000001;" + message I 000008), so no text holds the field separator ";".
INSERT INTO MSGCATALOG (MSGTYPE, MSGNO, MSGTEXT) VALUES
    ('E', '000001', '输入的资料在基本资料中不存在!' || char(13) || '%s'),
    ('W', '000002', '%s的个数不正确: 应为 %d 个, 实际为 %d 个。'),
    ('W', '000003', '%s不可空白: 共 %d 个, 第 %d 个没有内容。'),
    ('I', '000003', '没有可以传送的选择条件, 作业无法提交。'),
    ('I', '000004', '作业已提交, 作业编号: %s'),
    ('W', '000004', '输入的资料在基本资料中不存在, 请确认!' || char(13) || '%s'),
    ('E', '000005', '日期格式错误, 请输入正确的日期!' || char(13) || '%s'),
    ('E', '000006', '无法连接应用服务器, 请检查服务器设置或网络连接!'),
    ('I', '000008', '请重新输入, 或按 F2 键开窗选择。'),
    ('I', '000009', '请检查预定运行日期是否正确, '),
    ('I', '000010', '运行时间的时、分、秒均不可空白。'),
    ('I', '000011', '请检查打印日期是否正确。'),
    ('E', '000013', '作业提交失败!' || char(13) || '%s'),
    ('W', '000014', '主程序传入的条件无法对应到画面上的字段, 条件未被采用。'),
    ('E', '000015', '读取注册表失败: 找不到 Steward 的设置 (Software\TGK\Steward)!'),
    ('E', '000016', '客户端设置文件 StewardC.ini 中没有应用服务器的地址!'),
    ('E', '000030', '无法将打印日期放入选择条件!' || char(13) || '%s'),
    ('E', '000036', '画面与程序代号不符, 无法执行此程序!'),
    ('E', '000037', '必要字段不可空白, 请输入!'),
    ('E', '000038', '主程序传入的参数不足, 无法启动此程序!'),
    ('E', '100082', '%s不可早于%s!'),
    ('E', '100252', '找不到决策分析信息文档的发布地址, 请检查系统设置!'),
    ('E', '100255', '找不到决策分析信息文档!'),
    ('R', '200235', '条件方案无法套用到目前的画面!');
