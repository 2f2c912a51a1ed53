-- Schema version 2: the voucher tables (heads, lines, material lines) of
-- outsourcing orders, production orders, dispatch orders, completion reports,
-- reorder-point plans, forecasts and the shop-floor base files.
--
-- Keys of every table the voucher engine saves are plain int: the engine
-- computes them as MAX + 1 and hands them back, so identity would break it.
-- Lines refer to their head through a column named like the head key, and
-- that column is required: a line that lost its head fails to save instead
-- of being silently orphaned. Codes are unique (compared as the server
-- compares text), which turns a race between two savers into an error
-- instead of a duplicate. Every table with qxts gets the two row-version
-- triggers at the end of this script.

-- Outsourcing production orders: heads, product lines, material lines.
CREATE TABLE om_productpo (
  id int NOT NULL PRIMARY KEY,
  ccode nvarchar(30) COLLATE TSQL,
  ddate datetime,
  cmaker nvarchar(20) COLLATE TSQL,
  ihlevel smallint,
  bhexpandend bit DEFAULT 0,
  dplandate datetime,
  cvencode nvarchar(30) COLLATE TSQL,
  cdepcode nvarchar(30) COLLATE TSQL,
  cpersoncode nvarchar(30) COLLATE TSQL,
  cpaycode nvarchar(30) COLLATE TSQL,
  csccode nvarchar(30) COLLATE TSQL,
  -- 1 entered, 2 approved (also after reopening), 3 closed; a new order is entered
  istate int DEFAULT 1,
  cverifier nvarchar(20) COLLATE TSQL,
  dcheckdate datetime,
  ivtid smallint,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_om_productpo_ccode ON om_productpo (ccode);

CREATE TABLE om_pomain (
  mainid int NOT NULL PRIMARY KEY,
  id int NOT NULL,
  cinvcode nvarchar(60) COLLATE TSQL,
  fquantity float,
  finquantity float,
  iTookQuantity float,
  iInvalidQuantity float,
  cclose nvarchar(20) COLLATE TSQL,
  -- the sales-order line pushed down into this line, as ',' + iSOsID + ','
  cSOsIDs nvarchar(255) COLLATE TSQL,
  bputfromso bit DEFAULT 0,
  idatafrom int,
  imakecharge float,
  totalmoney float,
  dstartdate datetime,
  denddate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL,
  iblevel smallint,
  bbexpandend bit DEFAULT 0,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE INDEX IX_om_pomain_id ON om_pomain (id, mainid);
CREATE INDEX IX_om_pomain_idatafrom ON om_pomain (idatafrom);

-- Material lines; SubID is numbered across the whole table (MAX + 1).
CREATE TABLE om_podetails (
  MainID int NOT NULL,
  SubID int NOT NULL PRIMARY KEY,
  cCode nvarchar(30) COLLATE TSQL,
  cInvCode nvarchar(60) COLLATE TSQL,
  fQuantity float,
  fOutQuantity float DEFAULT 0,
  cDepCode nvarchar(30) COLLATE TSQL,
  cWhCode nvarchar(30) COLLATE TSQL,
  iPSQuantity float,
  iWasteRate float,
  cFree1 nvarchar(60) COLLATE TSQL, cFree2 nvarchar(60) COLLATE TSQL, cFree3 nvarchar(60) COLLATE TSQL,
  cFree4 nvarchar(60) COLLATE TSQL, cFree5 nvarchar(60) COLLATE TSQL, cFree6 nvarchar(60) COLLATE TSQL,
  cFree7 nvarchar(60) COLLATE TSQL, cFree8 nvarchar(60) COLLATE TSQL, cFree9 nvarchar(60) COLLATE TSQL,
  cFree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_om_podetails_MainID ON om_podetails (MainID, SubID);

-- Production orders: heads (iproperty 1 production, else outsourcing; itype
-- 1 normal, else rework), product lines, material lines.
CREATE TABLE pp_productpo (
  id int NOT NULL PRIMARY KEY,
  ccode nvarchar(30) COLLATE TSQL,
  ddate datetime,
  cmaker nvarchar(20) COLLATE TSQL,
  dplandate datetime,
  cdepcode nvarchar(30) COLLATE TSQL,
  cpersoncode nvarchar(30) COLLATE TSQL,
  cverifier nvarchar(20) COLLATE TSQL,
  dcheckdate datetime,
  iproperty tinyint DEFAULT 1,
  itype tinyint DEFAULT 1,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_pp_productpo_ccode ON pp_productpo (ccode);

CREATE TABLE pp_pomain (
  mainid int NOT NULL PRIMARY KEY,
  id int NOT NULL,
  cinvcode nvarchar(60) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL,
  fquantity float,
  dstartdate datetime,
  denddate datetime,
  cclose nvarchar(20) COLLATE TSQL,
  idatafrom int,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE INDEX IX_pp_pomain_id ON pp_pomain (id, mainid);
CREATE INDEX IX_pp_pomain_idatafrom ON pp_pomain (idatafrom);

CREATE TABLE PP_PODetails (
  MainID int NOT NULL,
  SubID int NOT NULL PRIMARY KEY,
  cCode nvarchar(30) COLLATE TSQL,
  cInvCode nvarchar(60) COLLATE TSQL,
  fQuantity float,
  fOutQuantity float DEFAULT 0,
  cDepCode nvarchar(30) COLLATE TSQL,
  cWhCode nvarchar(30) COLLATE TSQL,
  iPSQuantity float,
  iWasteRate float,
  cFree1 nvarchar(60) COLLATE TSQL, cFree2 nvarchar(60) COLLATE TSQL, cFree3 nvarchar(60) COLLATE TSQL,
  cFree4 nvarchar(60) COLLATE TSQL, cFree5 nvarchar(60) COLLATE TSQL, cFree6 nvarchar(60) COLLATE TSQL,
  cFree7 nvarchar(60) COLLATE TSQL, cFree8 nvarchar(60) COLLATE TSQL, cFree9 nvarchar(60) COLLATE TSQL,
  cFree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_PP_PODetails_MainID ON PP_PODetails (MainID, SubID);

-- Dispatch orders (the state follows from audman and closeman) and their
-- dispatch cards. cindex is the four-digit operation sequence.
CREATE TABLE PP_MoOrderMa (
  MoID int NOT NULL PRIMARY KEY,
  mocode nvarchar(30) COLLATE TSQL,
  mainid int,
  audman nvarchar(20) COLLATE TSQL,
  audtime datetime,
  closeman nvarchar(20) COLLATE TSQL,
  closedate datetime,
  dplandate datetime,
  cplanperson nvarchar(20) COLLATE TSQL,
  cppname nvarchar(40) COLLATE TSQL,
  cdepcode nvarchar(30) COLLATE TSQL,
  wccode nvarchar(30) COLLATE TSQL,
  opcode nvarchar(30) COLLATE TSQL,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_PP_MoOrderMa_mocode ON PP_MoOrderMa (mocode);
CREATE INDEX IX_PP_MoOrderMa_mainid ON PP_MoOrderMa (mainid);

CREATE TABLE pp_moorderde (
  moid int NOT NULL,
  mosubid int NOT NULL PRIMARY KEY,
  cinvcode nvarchar(60) COLLATE TSQL,
  imqty float,
  opcode nvarchar(30) COLLATE TSQL,
  wccode nvarchar(30) COLLATE TSQL,
  cindex nchar(4) COLLATE TSQL,
  batchnum float,
  timeunit nvarchar(10) COLLATE TSQL,
  num float,
  startdate datetime,
  enddate datetime,
  pretime float,
  manhrs float,
  shifthr float,
  standtime float,
  totaltime float,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL,
  qxts timestamp
);
CREATE INDEX IX_pp_moorderde_moid ON pp_moorderde (moid, mosubid);

-- Progress completion reports (per dispatch card).
CREATE TABLE PP_MOOrderRptMa (
  rptid int NOT NULL PRIMARY KEY,
  rptcode nvarchar(30) COLLATE TSQL,
  keyinman nvarchar(20) COLLATE TSQL,
  keyindate datetime,
  audman nvarchar(20) COLLATE TSQL,
  audtime datetime,
  cdepcode nvarchar(30) COLLATE TSQL,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_PP_MOOrderRptMa_rptcode ON PP_MOOrderRptMa (rptcode);

CREATE TABLE pp_moorderrptde (
  rptid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  mosubid int,
  finnum float,
  finoknum float,
  finfailnum float,
  manhrs float,
  realstartdate datetime,
  realenddate datetime,
  operator nvarchar(30) COLLATE TSQL,
  cinvcode nvarchar(60) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_pp_moorderrptde_rptid ON pp_moorderrptde (rptid, autoid);
CREATE INDEX IX_pp_moorderrptde_mosubid ON pp_moorderrptde (mosubid);

-- Order completion reports (per production order line).
CREATE TABLE PP_PORptMa (
  porptid int NOT NULL PRIMARY KEY,
  porptcode nvarchar(30) COLLATE TSQL,
  keyinman nvarchar(20) COLLATE TSQL,
  keyindate datetime,
  audman nvarchar(20) COLLATE TSQL,
  audtime datetime,
  cdepcode nvarchar(30) COLLATE TSQL,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_PP_PORptMa_porptcode ON PP_PORptMa (porptcode);

CREATE TABLE pp_porptde (
  porptid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  mainid int,
  finnum float,
  finoknum float,
  finfailnum float,
  manhrs float,
  realstartdate datetime,
  realenddate datetime,
  operator nvarchar(30) COLLATE TSQL,
  cinvcode nvarchar(60) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_pp_porptde_porptid ON pp_porptde (porptid, autoid);
CREATE INDEX IX_pp_porptde_mainid ON pp_porptde (mainid);

-- Reorder-point plans: iState NULL/0 entered, 1 approved, 2 closed. Quotas
-- (a third level the voucher engine does not touch) record what was ordered.
CREATE TABLE PP_ROPMain (
  muid int NOT NULL PRIMARY KEY,
  cROPCode nvarchar(30) COLLATE TSQL,
  ddate datetime,
  cmaker nvarchar(20) COLLATE TSQL,
  cdepcode nvarchar(30) COLLATE TSQL,
  iState int DEFAULT 0,
  cVerifier nvarchar(20) COLLATE TSQL,
  dVerifiedDate datetime,
  cCloser nvarchar(20) COLLATE TSQL,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_PP_ROPMain_cROPCode ON PP_ROPMain (cROPCode);

CREATE TABLE pp_ropdetails (
  muid int NOT NULL,
  duid int NOT NULL PRIMARY KEY,
  cinvcode nvarchar(60) COLLATE TSQL,
  fstockqty float,
  fropqty float,
  fsafeqty float,
  fplanqty float,
  drequiredate datetime,
  cvencode nvarchar(30) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_pp_ropdetails_muid ON pp_ropdetails (muid, duid);

CREATE TABLE pp_ropquota (
  quid INTEGER PRIMARY KEY AUTOINCREMENT,
  duid int NOT NULL,
  cvencode nvarchar(30) COLLATE TSQL,
  fquantity float,
  fpoquantity float DEFAULT 0
);
CREATE INDEX IX_pp_ropquota_duid ON pp_ropquota (duid);

-- Demand forecasts. The code is the key (cFCID); lines refer to it by the
-- number in the code, so forecast codes are digit strings and the lines'
-- cfcid is an int ('0000000001' and 1 compare equal).
CREATE TABLE PP_ForecastMain (
  cFCID nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  dplandate datetime,
  cplanperson nvarchar(20) COLLATE TSQL,
  cppname nvarchar(40) COLLATE TSQL,
  cCheckPerson nvarchar(20) COLLATE TSQL,
  dCheckDate datetime,
  cCloser nvarchar(20) COLLATE TSQL,
  bMRP bit DEFAULT 0,
  cdepcode nvarchar(30) COLLATE TSQL,
  wccode nvarchar(30) COLLATE TSQL,
  opcode nvarchar(30) COLLATE TSQL,
  cmemo nvarchar(255) COLLATE TSQL,
  qxts timestamp
);

CREATE TABLE pp_forecastdetail (
  cfcid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  cinvcode nvarchar(60) COLLATE TSQL,
  imqty float,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_pp_forecastdetail_cfcid ON pp_forecastdetail (cfcid, autoid);

-- Base files of the shop floor: work centres, resources, operations, routings.
CREATE TABLE pp_workcenter (
  wccode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  wcname nvarchar(60) COLLATE TSQL,
  cdepcode nvarchar(30) COLLATE TSQL,
  qxts timestamp
);

CREATE TABLE pp_resource (
  rescode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  resname nvarchar(60) COLLATE TSQL,
  restype nvarchar(20) COLLATE TSQL,
  unit nvarchar(20) COLLATE TSQL,
  wccode nvarchar(30) COLLATE TSQL,
  bkeyres bit DEFAULT 0,
  num int,
  workhours float,
  dayshinum int,
  workeff float,
  useeff float,
  qxts timestamp
);

CREATE TABLE pp_operation (
  opcode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  opname nvarchar(60) COLLATE TSQL,
  wccode nvarchar(30) COLLATE TSQL,
  qxts timestamp
);

CREATE TABLE pp_routmain (
  routid int NOT NULL PRIMARY KEY,
  routcode nvarchar(30) COLLATE TSQL,
  routname nvarchar(60) COLLATE TSQL,
  cinvcode nvarchar(60) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL,
  effdate datetime,
  deffdate datetime,
  qxts timestamp
);
CREATE UNIQUE INDEX UX_pp_routmain_routcode ON pp_routmain (routcode);
CREATE INDEX IX_pp_routmain_cinvcode ON pp_routmain (cinvcode);

CREATE TABLE pp_routdetail (
  routid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  cinvcode nvarchar(60) COLLATE TSQL,
  imqty float,
  opcode nvarchar(30) COLLATE TSQL,
  wccode nvarchar(30) COLLATE TSQL,
  cindex nchar(4) COLLATE TSQL,
  batchnum float,
  pretime float,
  manhrs float,
  shifthr float,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_pp_routdetail_routid ON pp_routdetail (routid, autoid);

-- Row versions.
CREATE TRIGGER trg_om_productpo_rv_ins AFTER INSERT ON om_productpo BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE om_productpo SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_om_productpo_rv_upd AFTER UPDATE ON om_productpo WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE om_productpo SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_om_pomain_rv_ins AFTER INSERT ON om_pomain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE om_pomain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_om_pomain_rv_upd AFTER UPDATE ON om_pomain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE om_pomain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_productpo_rv_ins AFTER INSERT ON pp_productpo BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_productpo SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_productpo_rv_upd AFTER UPDATE ON pp_productpo WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_productpo SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_pomain_rv_ins AFTER INSERT ON pp_pomain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_pomain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_pomain_rv_upd AFTER UPDATE ON pp_pomain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_pomain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_MoOrderMa_rv_ins AFTER INSERT ON PP_MoOrderMa BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_MoOrderMa SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_MoOrderMa_rv_upd AFTER UPDATE ON PP_MoOrderMa WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_MoOrderMa SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_moorderde_rv_ins AFTER INSERT ON pp_moorderde BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_moorderde SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_moorderde_rv_upd AFTER UPDATE ON pp_moorderde WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_moorderde SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_MOOrderRptMa_rv_ins AFTER INSERT ON PP_MOOrderRptMa BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_MOOrderRptMa SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_MOOrderRptMa_rv_upd AFTER UPDATE ON PP_MOOrderRptMa WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_MOOrderRptMa SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_PORptMa_rv_ins AFTER INSERT ON PP_PORptMa BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_PORptMa SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_PORptMa_rv_upd AFTER UPDATE ON PP_PORptMa WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_PORptMa SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_ROPMain_rv_ins AFTER INSERT ON PP_ROPMain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_ROPMain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_ROPMain_rv_upd AFTER UPDATE ON PP_ROPMain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_ROPMain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_ForecastMain_rv_ins AFTER INSERT ON PP_ForecastMain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_ForecastMain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_PP_ForecastMain_rv_upd AFTER UPDATE ON PP_ForecastMain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE PP_ForecastMain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_workcenter_rv_ins AFTER INSERT ON pp_workcenter BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_workcenter SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_workcenter_rv_upd AFTER UPDATE ON pp_workcenter WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_workcenter SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_resource_rv_ins AFTER INSERT ON pp_resource BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_resource SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_resource_rv_upd AFTER UPDATE ON pp_resource WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_resource SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_operation_rv_ins AFTER INSERT ON pp_operation BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_operation SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_operation_rv_upd AFTER UPDATE ON pp_operation WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_operation SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_routmain_rv_ins AFTER INSERT ON pp_routmain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_routmain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_pp_routmain_rv_upd AFTER UPDATE ON pp_routmain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE pp_routmain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
