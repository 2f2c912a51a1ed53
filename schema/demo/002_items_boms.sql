-- Demo plant: items, bills of materials and routings.
--
-- The office chair P100 comes in colours (free item 1) and has a BOM per
-- colour; its seat S110 does too, so the colour runs down two levels. Sales
-- order SO0002 ordered a blue chair with its own BOM (sales-order BOM
-- 'SO0002'). The e-bike P200 has two bought-out assemblies, the frame S210
-- (welded by an outsourcing vendor) and the wheel S220, each with its BOM.

INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode, bfree1) VALUES ('P100', '人体工学办公椅', 'BG-100', '把', 'W03', 1);
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('P200', '城市电动自行车', 'EB-200', '辆', 'W03');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode, bfree1) VALUES ('S110', '椅座总成', 'ZZ-110', '套', 'W02', 1);
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('S210', '车架总成', 'CJ-210', '套', 'W02');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('S220', '车轮', '20寸', '个', 'W02');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M101', '五星脚', '铝合金', '个', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M102', '气压棒', '三级', '根', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M111', '高密度海绵', '50mm', '块', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode, bfree1) VALUES ('M112', '网布面料', '1.5m幅宽', '米', 'W01', 1);
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M113', '多层夹板', '12mm', '块', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M211', '无缝钢管', 'Φ32', '米', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M212', '焊丝', 'ER50-6', '千克', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M221', '轮圈', '20寸', '个', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M222', '辐条', '2.0mm', '根', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M223', '轮胎', '20x2.125', '条', 'W01');
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode, bfree2) VALUES ('M231', '轮毂电机', '350W', '台', 'W01', 1);
INSERT INTO inventory (cinvcode, cinvname, cinvstd, cunit, cwhcode) VALUES ('M232', '锂电池', '48V 12Ah', '块', 'W01');

-- BOM heads. 1, 2: the black and red chair; 3, 4: the black and red seat;
-- 5: the sales-order BOM of the blue chair; 6: the e-bike; 7: the frame; 8: the wheel.
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion, cfree1) VALUES (1, 'P100', '', '1.0', '黑');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion, cfree1) VALUES (2, 'P100', '', '1.0', '红');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion, cfree1) VALUES (3, 'S110', '', '1.0', '黑');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion, cfree1) VALUES (4, 'S110', '', '1.0', '红');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion, cfree1) VALUES (5, 'P100', 'SO0002', '1.0', '蓝');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion) VALUES (6, 'P200', NULL, '1.0');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion) VALUES (7, 'S210', NULL, '1.0');
INSERT INTO ProductStructure (iAutoId, cpspcode, csocode, cversion) VALUES (8, 'S220', NULL, '1.0');

-- BOM lines; childguid leads to the component's own BOM head.
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, cfree1, childguid) VALUES (1, 1, 'S110', 1, 0, 'D01', 'W02', '黑', 3);
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (2, 1, 'M101', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (3, 1, 'M102', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, cfree1, childguid) VALUES (4, 2, 'S110', 1, 0, 'D01', 'W02', '红', 4);
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (5, 2, 'M101', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (6, 2, 'M102', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (7, 3, 'M111', 2, 5, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, cfree1) VALUES (8, 3, 'M112', 1.2, 8, 'D01', 'W01', '黑');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (9, 3, 'M113', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (10, 4, 'M111', 2, 5, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, cfree1) VALUES (11, 4, 'M112', 1.2, 8, 'D01', 'W01', '红');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (12, 4, 'M113', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (13, 5, 'M101', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (14, 5, 'M102', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (15, 5, 'M111', 2, 5, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, cfree1) VALUES (16, 5, 'M112', 1.5, 8, 'D01', 'W01', '蓝');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (17, 5, 'M113', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, childguid) VALUES (18, 6, 'S210', 1, 0, 'D01', 'W02', 7);
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, childguid) VALUES (19, 6, 'S220', 2, 0, 'D01', 'W02', 8);
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode, cfree2) VALUES (20, 6, 'M231', 1, 0, 'D01', 'W01', '350W');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (21, 6, 'M232', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (22, 7, 'M211', 3.2, 5, 'D02', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (23, 7, 'M212', 0.5, 10, 'D02', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (24, 8, 'M221', 1, 0, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (25, 8, 'M222', 36, 2, 'D01', 'W01');
INSERT INTO ProductStructures (autoid, iPId, cpscode, ipsquantity, iwasterate, cdepcode, cwhcode) VALUES (26, 8, 'M223', 1, 0, 'D01', 'W01');

-- Routings: the black chair seat is sewn, then the chair assembled; the frame
-- is cut, then welded.
INSERT INTO pp_routmain (routid, routcode, routname, cinvcode, cfree1, effdate, deffdate)
  VALUES (1, 'GY000001', '办公椅(黑)工艺', 'P100', '黑', '2024-01-01 00:00:00', NULL);
INSERT INTO pp_routmain (routid, routcode, routname, cinvcode, effdate, deffdate)
  VALUES (2, 'GY000002', '车架焊接工艺', 'S210', '2024-01-01 00:00:00', '2025-12-31 00:00:00');
INSERT INTO pp_routdetail (routid, autoid, cinvcode, imqty, opcode, wccode, cindex, batchnum, pretime, manhrs, shifthr, cfree1)
  VALUES (1, 1, 'P100', 1, 'GX30', 'WC03', '0010', 10, 0.5, 0.4, 8, '黑');
INSERT INTO pp_routdetail (routid, autoid, cinvcode, imqty, opcode, wccode, cindex, batchnum, pretime, manhrs, shifthr, cfree1)
  VALUES (1, 2, 'P100', 1, 'GX40', 'WC01', '0020', 10, 0.25, 0.3, 8, '黑');
INSERT INTO pp_routdetail (routid, autoid, cinvcode, imqty, opcode, wccode, cindex, batchnum, pretime, manhrs, shifthr)
  VALUES (2, 3, 'S210', 1, 'GX10', 'WC02', '0010', 20, 1, 0.2, 8);
INSERT INTO pp_routdetail (routid, autoid, cinvcode, imqty, opcode, wccode, cindex, batchnum, pretime, manhrs, shifthr)
  VALUES (2, 4, 'S210', 1, 'GX20', 'WC02', '0020', 20, 1, 0.6, 8);
