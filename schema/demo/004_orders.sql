-- Demo plant: the vouchers. Production orders in every state (approved,
-- entered, closed, approved but not yet dispatched), their material lines,
-- dispatch orders and completion reports against them, outsourcing orders
-- (approved with material issued, entered and pushed down from a sales order,
-- closed with goods received), and the number counters that match the codes.

-- Production orders (SC...).
INSERT INTO pp_productpo (id, ccode, ddate, cmaker, dplandate, cdepcode, cpersoncode, cverifier, dcheckdate, iproperty, itype)
  VALUES (1, 'SC000001', '2024-03-05 00:00:00', 'lina', '2024-03-06 00:00:00', 'D01', 'P004', '李娜', '2024-03-05 00:00:00', 1, 1);
INSERT INTO pp_productpo (id, ccode, ddate, cmaker, dplandate, cdepcode, cpersoncode, iproperty, itype)
  VALUES (2, 'SC000002', '2024-03-12 00:00:00', 'lina', '2024-03-13 00:00:00', 'D01', 'P004', 1, 1);
INSERT INTO pp_productpo (id, ccode, ddate, cmaker, dplandate, cdepcode, cpersoncode, cverifier, dcheckdate, iproperty, itype)
  VALUES (3, 'SC000003', '2024-03-01 00:00:00', 'lina', '2024-03-01 00:00:00', 'D01', 'P004', '李娜', '2024-03-01 00:00:00', 1, 2);
INSERT INTO pp_productpo (id, ccode, ddate, cmaker, dplandate, cdepcode, cpersoncode, cverifier, dcheckdate, iproperty, itype)
  VALUES (4, 'SC000004', '2024-03-08 00:00:00', 'lina', '2024-03-09 00:00:00', 'D01', 'P004', '李娜', '2024-03-08 00:00:00', 1, 1);

INSERT INTO pp_pomain (mainid, id, cinvcode, cfree1, fquantity, dstartdate, denddate, cclose, idatafrom)
  VALUES (1, 1, 'P100', '黑', 30, '2024-03-06 00:00:00', '2024-03-20 00:00:00', NULL, 1);
INSERT INTO pp_pomain (mainid, id, cinvcode, fquantity, dstartdate, denddate, cclose, idatafrom)
  VALUES (2, 1, 'P200', 20, '2024-03-10 00:00:00', '2024-03-28 00:00:00', NULL, 3);
INSERT INTO pp_pomain (mainid, id, cinvcode, cfree1, fquantity, dstartdate, denddate, cclose, idatafrom)
  VALUES (3, 2, 'P100', '红', 15, '2024-03-13 00:00:00', '2024-03-25 00:00:00', NULL, 5);
INSERT INTO pp_pomain (mainid, id, cinvcode, cfree1, fquantity, dstartdate, denddate, cclose, idatafrom)
  VALUES (4, 3, 'P100', '黑', 5, '2024-03-01 00:00:00', '2024-03-04 00:00:00', '李娜', NULL);
INSERT INTO pp_pomain (mainid, id, cinvcode, fquantity, dstartdate, denddate, cclose, idatafrom)
  VALUES (5, 4, 'P200', 10, '2024-03-09 00:00:00', '2024-03-22 00:00:00', NULL, NULL);

-- Their material lines, exploded from the BOMs with the waste rate.
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate, cFree1) VALUES (1, 1, '', 'S110', 30, 20, 'D01', 'W02', 1, 0, '黑');
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (1, 2, '', 'M101', 30, 0, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (1, 3, '', 'M102', 30, 0, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (2, 4, '', 'S210', 20, 0, 'D01', 'W02', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (2, 5, '', 'S220', 40, 0, 'D01', 'W02', 2, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate, cFree2) VALUES (2, 6, '', 'M231', 20, 0, 'D01', 'W01', 1, 0, '350W');
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (2, 7, '', 'M232', 20, 0, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate, cFree1) VALUES (3, 8, '', 'S110', 15, 0, 'D01', 'W02', 1, 0, '红');
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (3, 9, '', 'M101', 15, 0, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (3, 10, '', 'M102', 15, 0, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate, cFree1) VALUES (4, 11, '', 'S110', 5, 5, 'D01', 'W02', 1, 0, '黑');
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (4, 12, '', 'M101', 5, 5, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (4, 13, '', 'M102', 5, 5, 'D01', 'W01', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (5, 14, '', 'S210', 10, 0, 'D01', 'W02', 1, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (5, 15, '', 'S220', 20, 0, 'D01', 'W02', 2, 0);
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate, cFree2) VALUES (5, 16, '', 'M231', 10, 0, 'D01', 'W01', 1, 0, '350W');
INSERT INTO PP_PODetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (5, 17, '', 'M232', 10, 0, 'D01', 'W01', 1, 0);

-- Dispatch orders (PG...): the black chairs (approved, two cards), the
-- e-bikes (entered), the closed rework order (approved and closed).
INSERT INTO PP_MoOrderMa (MoID, mocode, mainid, audman, audtime, closeman, closedate, dplandate, cplanperson, cppname, cdepcode, wccode, opcode)
  VALUES (1, 'PG000001', 1, '李娜', '2024-03-06 00:00:00', NULL, NULL, '2024-03-06 00:00:00', 'lina', '李娜', 'D01', 'WC01', 'GX40');
INSERT INTO PP_MoOrderMa (MoID, mocode, mainid, audman, audtime, closeman, closedate, dplandate, cplanperson, cppname, cdepcode, wccode, opcode)
  VALUES (2, 'PG000002', 2, NULL, NULL, NULL, NULL, '2024-03-11 00:00:00', 'lina', '李娜', 'D01', 'WC01', 'GX40');
INSERT INTO PP_MoOrderMa (MoID, mocode, mainid, audman, audtime, closeman, closedate, dplandate, cplanperson, cppname, cdepcode, wccode, opcode)
  VALUES (3, 'PG000003', 4, '李娜', '2024-03-01 00:00:00', '李娜', '2024-03-04 00:00:00', '2024-03-01 00:00:00', 'lina', '李娜', 'D01', 'WC01', 'GX40');

INSERT INTO pp_moorderde (moid, mosubid, cinvcode, imqty, opcode, wccode, cindex, batchnum, timeunit, num, startdate, enddate, pretime, manhrs, shifthr, standtime, totaltime, drequiredate, drequireenddate, cfree1)
  VALUES (1, 1, 'P100', 30, 'GX30', 'WC03', '0010', 10, '小时', 30, '2024-03-06 00:00:00', '2024-03-10 00:00:00', 0.5, 0.4, 8, 0.4, 1.2, '2024-03-06 00:00:00', '2024-03-12 00:00:00', '黑');
INSERT INTO pp_moorderde (moid, mosubid, cinvcode, imqty, opcode, wccode, cindex, batchnum, timeunit, num, startdate, enddate, pretime, manhrs, shifthr, standtime, totaltime, drequiredate, drequireenddate, cfree1)
  VALUES (1, 2, 'P100', 30, 'GX40', 'WC01', '0020', 10, '小时', 30, '2024-03-11 00:00:00', '2024-03-18 00:00:00', 0.25, 0.3, 8, 0.3, 0.9, '2024-03-11 00:00:00', '2024-03-20 00:00:00', '黑');
INSERT INTO pp_moorderde (moid, mosubid, cinvcode, imqty, opcode, wccode, cindex, batchnum, timeunit, num, startdate, enddate, pretime, manhrs, shifthr, standtime, totaltime, drequiredate, drequireenddate)
  VALUES (2, 3, 'P200', 20, 'GX40', 'WC01', '0010', 5, '小时', 20, '2024-03-12 00:00:00', '2024-03-26 00:00:00', 1, 1.5, 8, 1.5, 6, '2024-03-12 00:00:00', '2024-03-28 00:00:00');
INSERT INTO pp_moorderde (moid, mosubid, cinvcode, imqty, opcode, wccode, cindex, batchnum, timeunit, num, startdate, enddate, pretime, manhrs, shifthr, standtime, totaltime, drequiredate, drequireenddate, cfree1)
  VALUES (3, 4, 'P100', 5, 'GX40', 'WC01', '0010', 5, '小时', 5, '2024-03-01 00:00:00', '2024-03-04 00:00:00', 0.25, 0.3, 8, 0.3, 0.3, '2024-03-01 00:00:00', '2024-03-04 00:00:00', '黑');

-- Progress completion reports (JD...) against the dispatch cards.
INSERT INTO PP_MOOrderRptMa (rptid, rptcode, keyinman, keyindate, audman, audtime, cdepcode)
  VALUES (1, 'JD000001', '刘洋', '2024-03-08 00:00:00', '李娜', '2024-03-08 00:00:00', 'D01');
INSERT INTO PP_MOOrderRptMa (rptid, rptcode, keyinman, keyindate, audman, audtime, cdepcode)
  VALUES (2, 'JD000002', '刘洋', '2024-03-14 00:00:00', NULL, NULL, 'D01');
INSERT INTO pp_moorderrptde (rptid, autoid, mosubid, finnum, finoknum, finfailnum, manhrs, realstartdate, realenddate, operator, cinvcode, cfree1)
  VALUES (1, 1, 1, 20, 19, 1, 8, '2024-03-06 00:00:00', '2024-03-08 00:00:00', 'CZ01', 'P100', '黑');
INSERT INTO pp_moorderrptde (rptid, autoid, mosubid, finnum, finoknum, finfailnum, manhrs, realstartdate, realenddate, operator, cinvcode, cfree1)
  VALUES (2, 2, 2, 10, 10, 0, 3, '2024-03-12 00:00:00', '2024-03-14 00:00:00', 'CZ02', 'P100', '黑');

-- Order completion report (DW...) of the closed rework order.
INSERT INTO PP_PORptMa (porptid, porptcode, keyinman, keyindate, audman, audtime, cdepcode)
  VALUES (1, 'DW000001', '刘洋', '2024-03-04 00:00:00', '李娜', '2024-03-04 00:00:00', 'D01');
INSERT INTO pp_porptde (porptid, autoid, mainid, finnum, finoknum, finfailnum, manhrs, realstartdate, realenddate, operator, cinvcode, cfree1)
  VALUES (1, 1, 4, 5, 5, 0, 2.5, '2024-03-01 00:00:00', '2024-03-04 00:00:00', 'CZ02', 'P100', '黑');

-- Outsourcing orders (WW...): frames welded by V001 (approved, steel tube
-- already issued), chairs assembled by V002 (entered, pushed down from sales
-- order line 1), wheels by V003 (closed, received and invoiced).
INSERT INTO om_productpo (id, ccode, ddate, cmaker, ihlevel, bhexpandend, dplandate, cvencode, cdepcode, cpersoncode, cpaycode, csccode, istate, cverifier, dcheckdate, ivtid)
  VALUES (1, 'WW000001', '2024-03-04 00:00:00', 'wangq', 1, 0, '2024-03-15 00:00:00', 'V001', 'D03', 'P003', '01', '01', 2, 'wangq', '2024-03-04 00:00:00', 30);
INSERT INTO om_productpo (id, ccode, ddate, cmaker, ihlevel, bhexpandend, dplandate, cvencode, cdepcode, cpersoncode, cpaycode, csccode, istate, cverifier, dcheckdate, ivtid)
  VALUES (2, 'WW000002', '2024-03-07 00:00:00', 'wangq', 1, 0, '2024-03-25 00:00:00', 'V002', 'D03', 'P003', '01', '01', 1, NULL, NULL, 30);
INSERT INTO om_productpo (id, ccode, ddate, cmaker, ihlevel, bhexpandend, dplandate, cvencode, cdepcode, cpersoncode, cpaycode, csccode, istate, cverifier, dcheckdate, ivtid)
  VALUES (3, 'WW000003', '2024-02-26 00:00:00', 'wangq', 1, 0, '2024-03-10 00:00:00', 'V003', 'D03', 'P003', '02', '02', 3, 'wangq', '2024-02-26 00:00:00', 30);

INSERT INTO om_pomain (mainid, id, cinvcode, fquantity, finquantity, iTookQuantity, iInvalidQuantity, cclose, cSOsIDs, bputfromso, idatafrom, imakecharge, totalmoney, dstartdate, denddate, iblevel, bbexpandend)
  VALUES (1, 1, 'S210', 20, 0, 0, 0, NULL, NULL, 0, 2, 15, 300, '2024-03-04 00:00:00', '2024-03-15 00:00:00', 1, 0);
INSERT INTO om_pomain (mainid, id, cinvcode, cfree1, fquantity, finquantity, iTookQuantity, iInvalidQuantity, cclose, cSOsIDs, bputfromso, idatafrom, imakecharge, totalmoney, dstartdate, denddate, iblevel, bbexpandend)
  VALUES (2, 2, 'P100', '黑', 20, 0, 0, 0, NULL, ',1,', 1, NULL, 40, 800, '2024-03-08 00:00:00', '2024-03-25 00:00:00', 1, 0);
INSERT INTO om_pomain (mainid, id, cinvcode, fquantity, finquantity, iTookQuantity, iInvalidQuantity, cclose, cSOsIDs, bputfromso, idatafrom, imakecharge, totalmoney, dstartdate, denddate, iblevel, bbexpandend)
  VALUES (3, 3, 'S220', 10, 10, 0, 0, 'wangq', NULL, 0, 4, 12, 120, '2024-02-26 00:00:00', '2024-03-10 00:00:00', 1, 0);

INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (1, 1, '', 'M211', 67.2, 67.2, 'D02', 'W01', 3.2, 5);
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (1, 2, '', 'M212', 11, 0, 'D02', 'W01', 0.5, 10);
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate, cFree1) VALUES (2, 3, '', 'S110', 20, 0, 'D01', 'W02', 1, 0, '黑');
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (2, 4, '', 'M101', 20, 0, 'D01', 'W01', 1, 0);
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (2, 5, '', 'M102', 20, 0, 'D01', 'W01', 1, 0);
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (3, 6, '', 'M221', 10, 10, 'D01', 'W01', 1, 0);
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (3, 7, '', 'M222', 367.2, 367.2, 'D01', 'W01', 36, 2);
INSERT INTO om_podetails (MainID, SubID, cCode, cInvCode, fQuantity, fOutQuantity, cDepCode, cWhCode, iPSQuantity, iWasteRate) VALUES (3, 8, '', 'M223', 10, 10, 'D01', 'W01', 1, 0);

-- The wheels came back and were invoiced.
INSERT INTO YK_MachineInBill (autoid, ccode, ddate, cvencode) VALUES (1, 'WW000003', '2024-03-10 00:00:00', 'V003');
INSERT INTO YK_MachineInBills (autoid, AutoIDs, cinvcode, fquantity) VALUES (1, 1, 'S220', 10);
INSERT INTO om_purbillvouchs (autoid, ompoccode, cinvcode, fquantity, fmoney) VALUES (1, 'WW000003', 'S220', 10, 120);

-- Number counters: the last serial issued per card and code prefix.
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp01', '', 2);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp02', 'ROP', 2);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp11', 'GY', 2);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp13', 'PG', 3);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp14', 'JD', 2);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp15', 'DW', 1);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('pp25', 'SC', 4);
INSERT INTO FabrikonNumberCounters (CardNumber, cPrefix, iSerial) VALUES ('om01', 'WW', 3);
