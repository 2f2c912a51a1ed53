-- Demo plant: demand. Two sales orders (the second with its own blue-chair
-- BOM), the planning lines released for ordering, forecasts and reorder-point
-- plans. Users: lina (李娜, planner), wangq (王强, buyer), liuy (刘洋, foreman).

INSERT INTO SO_SOMain (id, csocode, ddate, ccusname, cdepcode, cpersoncode) VALUES (1, 'SO0001', '2024-02-20 00:00:00', '星河科技有限公司', 'D04', 'P001');
INSERT INTO SO_SOMain (id, csocode, ddate, ccusname, cdepcode, cpersoncode) VALUES (2, 'SO0002', '2024-02-26 00:00:00', '蓝海酒店管理集团', 'D04', 'P001');
-- Line 1 has 20 chairs pushed down into outsourcing order WW000002.
INSERT INTO SO_SODetails (iSOsID, id, cinvcode, fquantity, fTotolPut, cbomsocode, dpredate, cfree1) VALUES (1, 1, 'P100', 50, 20, NULL, '2024-03-31 00:00:00', '黑');
INSERT INTO SO_SODetails (iSOsID, id, cinvcode, fquantity, fTotolPut, cbomsocode, dpredate) VALUES (2, 1, 'P200', 20, 0, NULL, '2024-04-15 00:00:00');
INSERT INTO SO_SODetails (iSOsID, id, cinvcode, fquantity, fTotolPut, cbomsocode, dpredate, cfree1) VALUES (3, 2, 'P100', 10, 0, 'SO0002', '2024-04-10 00:00:00', '蓝');

-- Planning lines: icheck released, iinput already ordered (production order
-- lines plus outsourcing order lines that name the line in idatafrom).
INSERT INTO pp_rmrpdetails (nid, cmpid, cinvcode, isupplytype, fquantity, icheck, iinput, dstartdate, denddate, cdepcode, cfree1)
  VALUES (1, 'MRP2403', 'P100', 1, 100, 100, 30, '2024-03-05 00:00:00', '2024-03-20 00:00:00', 'D01', '黑');
INSERT INTO pp_rmrpdetails (nid, cmpid, cinvcode, isupplytype, fquantity, icheck, iinput, dstartdate, denddate, cdepcode)
  VALUES (2, 'MRP2403', 'S210', 2, 40, 40, 20, '2024-03-04 00:00:00', '2024-03-15 00:00:00', 'D02');
INSERT INTO pp_rmrpdetails (nid, cmpid, cinvcode, isupplytype, fquantity, icheck, iinput, dstartdate, denddate, cdepcode)
  VALUES (3, 'MRP2403', 'P200', 1, 30, 30, 20, '2024-03-10 00:00:00', '2024-03-28 00:00:00', 'D01');
INSERT INTO pp_rmrpdetails (nid, cmpid, cinvcode, isupplytype, fquantity, icheck, iinput, dstartdate, denddate, cdepcode)
  VALUES (4, 'MRP2403', 'S220', 2, 40, 40, 10, '2024-03-04 00:00:00', '2024-03-18 00:00:00', 'D01');
INSERT INTO pp_rmrpdetails (nid, cmpid, cinvcode, isupplytype, fquantity, icheck, iinput, dstartdate, denddate, cdepcode, cfree1)
  VALUES (5, 'MRP2403', 'P100', 1, 30, 30, 15, '2024-03-12 00:00:00', '2024-03-25 00:00:00', 'D01', '红');
INSERT INTO pp_rmrpdetails (nid, cmpid, cinvcode, isupplytype, fquantity, icheck, iinput, dstartdate, denddate, cdepcode)
  VALUES (6, 'MRP2404', 'S210', 2, 15, 10, 0, '2024-04-01 00:00:00', '2024-04-12 00:00:00', 'D02');

-- Forecasts (codes are digit strings: lines refer to the number in the code).
INSERT INTO PP_ForecastMain (cFCID, dplandate, cplanperson, cppname, cCheckPerson, dCheckDate, cCloser, bMRP, cdepcode, wccode, opcode)
  VALUES ('0000000001', '2024-02-28 00:00:00', 'lina', '李娜', 'lina', '2024-02-29 00:00:00', NULL, 1, 'D05', 'WC01', 'GX40');
INSERT INTO PP_ForecastMain (cFCID, dplandate, cplanperson, cppname, bMRP, cdepcode)
  VALUES ('0000000002', '2024-03-04 00:00:00', 'lina', '李娜', 0, 'D05');
INSERT INTO pp_forecastdetail (cfcid, autoid, cinvcode, imqty, drequiredate, drequireenddate, cfree1)
  VALUES (1, 1, 'P100', 200, '2024-04-01 00:00:00', '2024-04-30 00:00:00', '黑');
INSERT INTO pp_forecastdetail (cfcid, autoid, cinvcode, imqty, drequiredate, drequireenddate)
  VALUES (1, 2, 'P200', 50, '2024-04-01 00:00:00', '2024-04-30 00:00:00');
INSERT INTO pp_forecastdetail (cfcid, autoid, cinvcode, imqty, drequiredate, drequireenddate, cfree1)
  VALUES (2, 3, 'P100', 40, '2024-05-01 00:00:00', '2024-05-31 00:00:00', '红');

-- Reorder-point plans: the first is approved and partly ordered already (its
-- quota blocks cancelling the approval), the second is entered.
INSERT INTO PP_ROPMain (muid, cROPCode, ddate, cmaker, cdepcode, iState, cVerifier, dVerifiedDate)
  VALUES (1, 'ROP000001', '2024-03-01 00:00:00', '王强', 'D03', 1, '王强', '2024-03-01 00:00:00');
INSERT INTO PP_ROPMain (muid, cROPCode, ddate, cmaker, cdepcode, iState)
  VALUES (2, 'ROP000002', '2024-03-06 00:00:00', '王强', 'D03', 0);
INSERT INTO pp_ropdetails (muid, duid, cinvcode, fstockqty, fropqty, fsafeqty, fplanqty, drequiredate, cvencode)
  VALUES (1, 1, 'M223', 60, 100, 50, 200, '2024-03-15 00:00:00', 'V003');
INSERT INTO pp_ropdetails (muid, duid, cinvcode, fstockqty, fropqty, fsafeqty, fplanqty, drequiredate, cvencode)
  VALUES (1, 2, 'M222', 1500, 2000, 1000, 3600, '2024-03-15 00:00:00', 'V003');
INSERT INTO pp_ropdetails (muid, duid, cinvcode, fstockqty, fropqty, fsafeqty, fplanqty, drequiredate, cvencode)
  VALUES (2, 3, 'M212', 8, 20, 10, 50, '2024-03-20 00:00:00', 'V001');
INSERT INTO pp_ropquota (quid, duid, cvencode, fquantity, fpoquantity) VALUES (1, 1, 'V003', 200, 100);
INSERT INTO pp_ropquota (quid, duid, cvencode, fquantity, fpoquantity) VALUES (2, 2, 'V003', 3600, 0);
INSERT INTO pp_ropquota (quid, duid, cvencode, fquantity, fpoquantity) VALUES (3, 3, 'V001', 50, 0);
