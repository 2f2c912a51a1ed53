-- Demo plant: a small furniture and bicycle works. Archives first: who works
-- where, with whom the plant deals, where goods are kept, and the shop floor
-- (work centres, operations, resources).

INSERT INTO Department (cdepcode, cdepname) VALUES ('D01', '总装车间');
INSERT INTO Department (cdepcode, cdepname) VALUES ('D02', '焊接车间');
INSERT INTO Department (cdepcode, cdepname) VALUES ('D03', '采购部');
INSERT INTO Department (cdepcode, cdepname) VALUES ('D04', '销售部');
INSERT INTO Department (cdepcode, cdepname) VALUES ('D05', '计划部');

INSERT INTO Person (cpersoncode, cpersonname, cdepcode) VALUES ('P001', '张伟', 'D04');
INSERT INTO Person (cpersoncode, cpersonname, cdepcode) VALUES ('P002', '李娜', 'D05');
INSERT INTO Person (cpersoncode, cpersonname, cdepcode) VALUES ('P003', '王强', 'D03');
INSERT INTO Person (cpersoncode, cpersonname, cdepcode) VALUES ('P004', '刘洋', 'D01');

INSERT INTO Vendor (cvencode, cvenname, cvenabbname) VALUES ('V001', '华东精工焊接有限公司', '华东焊接');
INSERT INTO Vendor (cvencode, cvenname, cvenabbname) VALUES ('V002', '南方家具配套厂', '南方配套');
INSERT INTO Vendor (cvencode, cvenname, cvenabbname) VALUES ('V003', '远航车轮制造有限公司', '远航车轮');

INSERT INTO PayCondition (cpaycode, cpayname) VALUES ('01', '月结30天');
INSERT INTO PayCondition (cpaycode, cpayname) VALUES ('02', '货到付款');

INSERT INTO ShippingChoice (csccode, cscname) VALUES ('01', '汽车运输');
INSERT INTO ShippingChoice (csccode, cscname) VALUES ('02', '客户自提');

INSERT INTO Warehouse (cwhcode, cwhname, cdepcode) VALUES ('W01', '原材料库', 'D03');
INSERT INTO Warehouse (cwhcode, cwhname, cdepcode) VALUES ('W02', '半成品库', 'D01');
INSERT INTO Warehouse (cwhcode, cwhname, cdepcode) VALUES ('W03', '成品库', 'D04');

-- Free item 1 is the colour (a closed list); free item 2 (规格, the model)
-- takes any text.
INSERT INTO FreeItemDefinition (ifreeno, cfreename) VALUES (1, '颜色');
INSERT INTO FreeItemDefinition (ifreeno, cfreename) VALUES (2, '规格');
INSERT INTO FreeItemValue (ifreeno, cvalue, cvaluename) VALUES (1, '黑', '黑色');
INSERT INTO FreeItemValue (ifreeno, cvalue, cvaluename) VALUES (1, '红', '红色');
INSERT INTO FreeItemValue (ifreeno, cvalue, cvaluename) VALUES (1, '蓝', '蓝色');

INSERT INTO pp_workcenter (wccode, wcname, cdepcode) VALUES ('WC01', '装配中心', 'D01');
INSERT INTO pp_workcenter (wccode, wcname, cdepcode) VALUES ('WC02', '焊接中心', 'D02');
INSERT INTO pp_workcenter (wccode, wcname, cdepcode) VALUES ('WC03', '缝纫中心', 'D01');

INSERT INTO pp_operation (opcode, opname, wccode) VALUES ('GX10', '下料', 'WC02');
INSERT INTO pp_operation (opcode, opname, wccode) VALUES ('GX20', '焊接', 'WC02');
INSERT INTO pp_operation (opcode, opname, wccode) VALUES ('GX30', '缝制', 'WC03');
INSERT INTO pp_operation (opcode, opname, wccode) VALUES ('GX40', '装配', 'WC01');

INSERT INTO pp_resource (rescode, resname, restype, unit, wccode, bkeyres, num, workhours, dayshinum, workeff, useeff)
  VALUES ('R01', '焊接机器人', '设备', '台', 'WC02', 1, 2, 8, 2, 95, 85);
INSERT INTO pp_resource (rescode, resname, restype, unit, wccode, bkeyres, num, workhours, dayshinum, workeff, useeff)
  VALUES ('R02', '装配工位', '人工', '个', 'WC01', 0, 6, 8, 1, 100, 90);
INSERT INTO pp_resource (rescode, resname, restype, unit, wccode, bkeyres, num, workhours, dayshinum, workeff, useeff)
  VALUES ('R03', '工业缝纫机', '设备', '台', 'WC03', 0, 4, 8, 1, 90, 80);

INSERT INTO Operator (coperatorcode, coperatorname, wccode) VALUES ('CZ01', '赵六', 'WC03');
INSERT INTO Operator (coperatorcode, coperatorname, wccode) VALUES ('CZ02', '孙七', 'WC01');
INSERT INTO Operator (coperatorcode, coperatorname, wccode) VALUES ('CZ03', '周八', 'WC02');
