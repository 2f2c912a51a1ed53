-- Demo plant: the shop floor of the e-bikes of production order SC000001.
-- The motor is fitted at the assembly centre (a resource and an operation of
-- its own, and a routing for the e-bike), the bikes are dispatched in two operations
-- (welding reported on, assembly not yet), the black chairs of the same order
-- are reported complete, and the motors are replenished by a reorder-point
-- plan with a supplier's quota.

INSERT INTO pp_operation (opcode, opname, wccode) VALUES ('GX50', '电机装配', 'WC01');
INSERT INTO pp_resource (rescode, resname, restype, unit, wccode, bkeyres, num, workhours, dayshinum, workeff, useeff)
  VALUES ('R04', '电装工位', '人工', '个', 'WC01', 1, 3, 8, 2, 100, 95);

INSERT INTO pp_routmain (routid, routcode, routname, cinvcode, effdate, deffdate)
  VALUES (3, 'GY000003', '电动自行车总装工艺', 'P200', '2024-01-01 00:00:00', NULL);
INSERT INTO pp_routdetail (routid, autoid, cinvcode, imqty, opcode, wccode, cindex, batchnum, pretime, manhrs, shifthr)
  VALUES (3, 5, 'P200', 1, 'GX50', 'WC01', '0010', 5, 0.5, 0.8, 8);
INSERT INTO pp_routdetail (routid, autoid, cinvcode, imqty, opcode, wccode, cindex, batchnum, pretime, manhrs, shifthr)
  VALUES (3, 6, 'P200', 1, 'GX40', 'WC01', '0020', 5, 0.5, 1.5, 8);

-- Dispatch order PG000004 (approved) of the e-bike line: motor fitting, then
-- final assembly. totaltime = whole batches (num / batchnum, rounded up) x standtime.
INSERT INTO PP_MoOrderMa (MoID, mocode, mainid, audman, audtime, closeman, closedate, dplandate, cplanperson, cppname, cdepcode, wccode, opcode)
  VALUES (4, 'PG000004', 2, '李娜', '2024-03-09 00:00:00', NULL, NULL, '2024-03-09 00:00:00', 'lina', '李娜', 'D01', 'WC01', 'GX50');
INSERT INTO pp_moorderde (moid, mosubid, cinvcode, imqty, opcode, wccode, cindex, batchnum, timeunit, num, startdate, enddate, pretime, manhrs, shifthr, standtime, totaltime, drequiredate, drequireenddate)
  VALUES (4, 5, 'P200', 20, 'GX50', 'WC01', '0010', 5, '小时', 20, '2024-03-10 00:00:00', '2024-03-14 00:00:00', 0.5, 0.8, 8, 0.8, 3.2, '2024-03-10 00:00:00', '2024-03-15 00:00:00');
INSERT INTO pp_moorderde (moid, mosubid, cinvcode, imqty, opcode, wccode, cindex, batchnum, timeunit, num, startdate, enddate, pretime, manhrs, shifthr, standtime, totaltime, drequiredate, drequireenddate)
  VALUES (4, 6, 'P200', 20, 'GX40', 'WC01', '0020', 5, '小时', 20, '2024-03-15 00:00:00', '2024-03-26 00:00:00', 0.5, 1.5, 8, 1.5, 6, '2024-03-15 00:00:00', '2024-03-28 00:00:00');

-- Progress report JD000003 (entered) on the motor fitting card.
INSERT INTO PP_MOOrderRptMa (rptid, rptcode, keyinman, keyindate, audman, audtime, cdepcode)
  VALUES (3, 'JD000003', '刘洋', '2024-03-12 00:00:00', NULL, NULL, 'D01');
INSERT INTO pp_moorderrptde (rptid, autoid, mosubid, finnum, finoknum, finfailnum, manhrs, realstartdate, realenddate, operator, cinvcode)
  VALUES (3, 3, 5, 12, 11, 1, 9.5, '2024-03-10 00:00:00', '2024-03-12 00:00:00', 'CZ02', 'P200');

-- Order completion report DW000002 (entered) of the black chairs.
INSERT INTO PP_PORptMa (porptid, porptcode, keyinman, keyindate, audman, audtime, cdepcode)
  VALUES (2, 'DW000002', '刘洋', '2024-03-18 00:00:00', NULL, NULL, 'D01');
INSERT INTO pp_porptde (porptid, autoid, mainid, finnum, finoknum, finfailnum, manhrs, realstartdate, realenddate, operator, cinvcode, cfree1)
  VALUES (2, 2, 1, 30, 29, 1, 24, '2024-03-06 00:00:00', '2024-03-18 00:00:00', 'CZ02', 'P100', '黑');

-- Reorder-point plan ROP000003 (approved) for the hub motors; the quota is
-- not ordered yet, so the approval can still be cancelled.
INSERT INTO PP_ROPMain (muid, cROPCode, ddate, cmaker, cdepcode, iState, cVerifier, dVerifiedDate)
  VALUES (3, 'ROP000003', '2024-03-09 00:00:00', '王强', 'D03', 1, '王强', '2024-03-09 00:00:00');
INSERT INTO pp_ropdetails (muid, duid, cinvcode, fstockqty, fropqty, fsafeqty, fplanqty, drequiredate, cvencode, cfree2)
  VALUES (3, 4, 'M231', 12, 20, 10, 40, '2024-03-18 00:00:00', 'V001', '350W');
INSERT INTO pp_ropquota (quid, duid, cvencode, fquantity, fpoquantity) VALUES (4, 4, 'V001', 40, 0);

UPDATE FabrikonNumberCounters SET iSerial = 3 WHERE CardNumber = 'pp02' AND cPrefix = 'ROP';
UPDATE FabrikonNumberCounters SET iSerial = 3 WHERE CardNumber = 'pp11' AND cPrefix = 'GY';
UPDATE FabrikonNumberCounters SET iSerial = 4 WHERE CardNumber = 'pp13' AND cPrefix = 'PG';
UPDATE FabrikonNumberCounters SET iSerial = 3 WHERE CardNumber = 'pp14' AND cPrefix = 'JD';
UPDATE FabrikonNumberCounters SET iSerial = 2 WHERE CardNumber = 'pp15' AND cPrefix = 'DW';
