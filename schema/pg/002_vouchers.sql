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
-- instead of a duplicate. Every table with qxts gets the row-version
-- trigger (fabrikon_rowversion) at the end of this script.

-- Outsourcing production orders: heads, product lines, material lines.
CREATE TABLE om_productpo (
  id int NOT NULL PRIMARY KEY,
  ccode tsql_nvarchar_30,
  ddate datetime,
  cmaker tsql_nvarchar_20,
  ihlevel smallint,
  bhexpandend tsql_bit DEFAULT 0,
  dplandate datetime,
  cvencode tsql_nvarchar_30,
  cdepcode tsql_nvarchar_30,
  cpersoncode tsql_nvarchar_30,
  cpaycode tsql_nvarchar_30,
  csccode tsql_nvarchar_30,
  -- 1 entered, 2 approved (also after reopening), 3 closed; a new order is entered
  istate int DEFAULT 1,
  cverifier tsql_nvarchar_20,
  dcheckdate datetime,
  ivtid smallint,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE UNIQUE INDEX UX_om_productpo_ccode ON om_productpo (ccode);

CREATE TABLE om_pomain (
  mainid int NOT NULL PRIMARY KEY,
  id int NOT NULL,
  cinvcode tsql_nvarchar_60,
  fquantity double precision,
  finquantity double precision,
  iTookQuantity double precision,
  iInvalidQuantity double precision,
  cclose tsql_nvarchar_20,
  -- the sales-order line pushed down into this line, as ',' + iSOsID + ','
  cSOsIDs tsql_nvarchar_255,
  bputfromso tsql_bit DEFAULT 0,
  idatafrom int,
  imakecharge double precision,
  totalmoney double precision,
  dstartdate datetime,
  denddate datetime,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60,
  iblevel smallint,
  bbexpandend tsql_bit DEFAULT 0,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE INDEX IX_om_pomain_id ON om_pomain (id, mainid);
CREATE INDEX IX_om_pomain_idatafrom ON om_pomain (idatafrom);

-- Material lines; SubID is numbered across the whole table (MAX + 1).
CREATE TABLE om_podetails (
  MainID int NOT NULL,
  SubID int NOT NULL PRIMARY KEY,
  cCode tsql_nvarchar_30,
  cInvCode tsql_nvarchar_60,
  fQuantity double precision,
  fOutQuantity double precision DEFAULT 0,
  cDepCode tsql_nvarchar_30,
  cWhCode tsql_nvarchar_30,
  iPSQuantity double precision,
  iWasteRate double precision,
  cFree1 tsql_nvarchar_60, cFree2 tsql_nvarchar_60, cFree3 tsql_nvarchar_60,
  cFree4 tsql_nvarchar_60, cFree5 tsql_nvarchar_60, cFree6 tsql_nvarchar_60,
  cFree7 tsql_nvarchar_60, cFree8 tsql_nvarchar_60, cFree9 tsql_nvarchar_60,
  cFree10 tsql_nvarchar_60
);
CREATE INDEX IX_om_podetails_MainID ON om_podetails (MainID, SubID);

-- Production orders: heads (iproperty 1 production, else outsourcing; itype
-- 1 normal, else rework), product lines, material lines.
CREATE TABLE pp_productpo (
  id int NOT NULL PRIMARY KEY,
  ccode tsql_nvarchar_30,
  ddate datetime,
  cmaker tsql_nvarchar_20,
  dplandate datetime,
  cdepcode tsql_nvarchar_30,
  cpersoncode tsql_nvarchar_30,
  cverifier tsql_nvarchar_20,
  dcheckdate datetime,
  iproperty tinyint DEFAULT 1,
  itype tinyint DEFAULT 1,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE UNIQUE INDEX UX_pp_productpo_ccode ON pp_productpo (ccode);

CREATE TABLE pp_pomain (
  mainid int NOT NULL PRIMARY KEY,
  id int NOT NULL,
  cinvcode tsql_nvarchar_60,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60,
  fquantity double precision,
  dstartdate datetime,
  denddate datetime,
  cclose tsql_nvarchar_20,
  idatafrom int,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE INDEX IX_pp_pomain_id ON pp_pomain (id, mainid);
CREATE INDEX IX_pp_pomain_idatafrom ON pp_pomain (idatafrom);

CREATE TABLE PP_PODetails (
  MainID int NOT NULL,
  SubID int NOT NULL PRIMARY KEY,
  cCode tsql_nvarchar_30,
  cInvCode tsql_nvarchar_60,
  fQuantity double precision,
  fOutQuantity double precision DEFAULT 0,
  cDepCode tsql_nvarchar_30,
  cWhCode tsql_nvarchar_30,
  iPSQuantity double precision,
  iWasteRate double precision,
  cFree1 tsql_nvarchar_60, cFree2 tsql_nvarchar_60, cFree3 tsql_nvarchar_60,
  cFree4 tsql_nvarchar_60, cFree5 tsql_nvarchar_60, cFree6 tsql_nvarchar_60,
  cFree7 tsql_nvarchar_60, cFree8 tsql_nvarchar_60, cFree9 tsql_nvarchar_60,
  cFree10 tsql_nvarchar_60
);
CREATE INDEX IX_PP_PODetails_MainID ON PP_PODetails (MainID, SubID);

-- Dispatch orders (the state follows from audman and closeman) and their
-- dispatch cards. cindex is the four-digit operation sequence.
CREATE TABLE PP_MoOrderMa (
  MoID int NOT NULL PRIMARY KEY,
  mocode tsql_nvarchar_30,
  mainid int,
  audman tsql_nvarchar_20,
  audtime datetime,
  closeman tsql_nvarchar_20,
  closedate datetime,
  dplandate datetime,
  cplanperson tsql_nvarchar_20,
  cppname tsql_nvarchar_40,
  cdepcode tsql_nvarchar_30,
  wccode tsql_nvarchar_30,
  opcode tsql_nvarchar_30,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE UNIQUE INDEX UX_PP_MoOrderMa_mocode ON PP_MoOrderMa (mocode);
CREATE INDEX IX_PP_MoOrderMa_mainid ON PP_MoOrderMa (mainid);

CREATE TABLE pp_moorderde (
  moid int NOT NULL,
  mosubid int NOT NULL PRIMARY KEY,
  cinvcode tsql_nvarchar_60,
  imqty double precision,
  opcode tsql_nvarchar_30,
  wccode tsql_nvarchar_30,
  cindex char(4) COLLATE tsql,
  batchnum double precision,
  timeunit tsql_nvarchar_10,
  num double precision,
  startdate datetime,
  enddate datetime,
  pretime double precision,
  manhrs double precision,
  shifthr double precision,
  standtime double precision,
  totaltime double precision,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60,
  qxts bigint
);
CREATE INDEX IX_pp_moorderde_moid ON pp_moorderde (moid, mosubid);

-- Progress completion reports (per dispatch card).
CREATE TABLE PP_MOOrderRptMa (
  rptid int NOT NULL PRIMARY KEY,
  rptcode tsql_nvarchar_30,
  keyinman tsql_nvarchar_20,
  keyindate datetime,
  audman tsql_nvarchar_20,
  audtime datetime,
  cdepcode tsql_nvarchar_30,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE UNIQUE INDEX UX_PP_MOOrderRptMa_rptcode ON PP_MOOrderRptMa (rptcode);

CREATE TABLE pp_moorderrptde (
  rptid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  mosubid int,
  finnum double precision,
  finoknum double precision,
  finfailnum double precision,
  manhrs double precision,
  realstartdate datetime,
  realenddate datetime,
  operator tsql_nvarchar_30,
  cinvcode tsql_nvarchar_60,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60
);
CREATE INDEX IX_pp_moorderrptde_rptid ON pp_moorderrptde (rptid, autoid);
CREATE INDEX IX_pp_moorderrptde_mosubid ON pp_moorderrptde (mosubid);

-- Order completion reports (per production order line).
CREATE TABLE PP_PORptMa (
  porptid int NOT NULL PRIMARY KEY,
  porptcode tsql_nvarchar_30,
  keyinman tsql_nvarchar_20,
  keyindate datetime,
  audman tsql_nvarchar_20,
  audtime datetime,
  cdepcode tsql_nvarchar_30,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE UNIQUE INDEX UX_PP_PORptMa_porptcode ON PP_PORptMa (porptcode);

CREATE TABLE pp_porptde (
  porptid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  mainid int,
  finnum double precision,
  finoknum double precision,
  finfailnum double precision,
  manhrs double precision,
  realstartdate datetime,
  realenddate datetime,
  operator tsql_nvarchar_30,
  cinvcode tsql_nvarchar_60,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60
);
CREATE INDEX IX_pp_porptde_porptid ON pp_porptde (porptid, autoid);
CREATE INDEX IX_pp_porptde_mainid ON pp_porptde (mainid);

-- Reorder-point plans: iState NULL/0 entered, 1 approved, 2 closed. Quotas
-- (a third level the voucher engine does not touch) record what was ordered.
CREATE TABLE PP_ROPMain (
  muid int NOT NULL PRIMARY KEY,
  cROPCode tsql_nvarchar_30,
  ddate datetime,
  cmaker tsql_nvarchar_20,
  cdepcode tsql_nvarchar_30,
  iState int DEFAULT 0,
  cVerifier tsql_nvarchar_20,
  dVerifiedDate datetime,
  cCloser tsql_nvarchar_20,
  cmemo tsql_nvarchar_255,
  qxts bigint
);
CREATE UNIQUE INDEX UX_PP_ROPMain_cROPCode ON PP_ROPMain (cROPCode);

CREATE TABLE pp_ropdetails (
  muid int NOT NULL,
  duid int NOT NULL PRIMARY KEY,
  cinvcode tsql_nvarchar_60,
  fstockqty double precision,
  fropqty double precision,
  fsafeqty double precision,
  fplanqty double precision,
  drequiredate datetime,
  cvencode tsql_nvarchar_30,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60
);
CREATE INDEX IX_pp_ropdetails_muid ON pp_ropdetails (muid, duid);

CREATE TABLE pp_ropquota (
  quid integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
  duid int NOT NULL,
  cvencode tsql_nvarchar_30,
  fquantity double precision,
  fpoquantity double precision DEFAULT 0
);
CREATE INDEX IX_pp_ropquota_duid ON pp_ropquota (duid);

-- Demand forecasts. The code is the key (cFCID); lines refer to it by the
-- number in the code, so forecast codes are digit strings and the lines'
-- cfcid is an int ('0000000001' and 1 compare equal).
CREATE TABLE PP_ForecastMain (
  cFCID tsql_nvarchar_30 NOT NULL PRIMARY KEY,
  dplandate datetime,
  cplanperson tsql_nvarchar_20,
  cppname tsql_nvarchar_40,
  cCheckPerson tsql_nvarchar_20,
  dCheckDate datetime,
  cCloser tsql_nvarchar_20,
  bMRP tsql_bit DEFAULT 0,
  cdepcode tsql_nvarchar_30,
  wccode tsql_nvarchar_30,
  opcode tsql_nvarchar_30,
  cmemo tsql_nvarchar_255,
  qxts bigint
);

CREATE TABLE pp_forecastdetail (
  cfcid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  cinvcode tsql_nvarchar_60,
  imqty double precision,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60
);
CREATE INDEX IX_pp_forecastdetail_cfcid ON pp_forecastdetail (cfcid, autoid);

-- Base files of the shop floor: work centres, resources, operations, routings.
CREATE TABLE pp_workcenter (
  wccode tsql_nvarchar_30 NOT NULL PRIMARY KEY,
  wcname tsql_nvarchar_60,
  cdepcode tsql_nvarchar_30,
  qxts bigint
);

CREATE TABLE pp_resource (
  rescode tsql_nvarchar_30 NOT NULL PRIMARY KEY,
  resname tsql_nvarchar_60,
  restype tsql_nvarchar_20,
  unit tsql_nvarchar_20,
  wccode tsql_nvarchar_30,
  bkeyres tsql_bit DEFAULT 0,
  num int,
  workhours double precision,
  dayshinum int,
  workeff double precision,
  useeff double precision,
  qxts bigint
);

CREATE TABLE pp_operation (
  opcode tsql_nvarchar_30 NOT NULL PRIMARY KEY,
  opname tsql_nvarchar_60,
  wccode tsql_nvarchar_30,
  qxts bigint
);

CREATE TABLE pp_routmain (
  routid int NOT NULL PRIMARY KEY,
  routcode tsql_nvarchar_30,
  routname tsql_nvarchar_60,
  cinvcode tsql_nvarchar_60,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60,
  effdate datetime,
  deffdate datetime,
  qxts bigint
);
CREATE UNIQUE INDEX UX_pp_routmain_routcode ON pp_routmain (routcode);
CREATE INDEX IX_pp_routmain_cinvcode ON pp_routmain (cinvcode);

CREATE TABLE pp_routdetail (
  routid int NOT NULL,
  autoid int NOT NULL PRIMARY KEY,
  cinvcode tsql_nvarchar_60,
  imqty double precision,
  opcode tsql_nvarchar_30,
  wccode tsql_nvarchar_30,
  cindex char(4) COLLATE tsql,
  batchnum double precision,
  pretime double precision,
  manhrs double precision,
  shifthr double precision,
  drequiredate datetime,
  drequireenddate datetime,
  cfree1 tsql_nvarchar_60, cfree2 tsql_nvarchar_60, cfree3 tsql_nvarchar_60,
  cfree4 tsql_nvarchar_60, cfree5 tsql_nvarchar_60, cfree6 tsql_nvarchar_60,
  cfree7 tsql_nvarchar_60, cfree8 tsql_nvarchar_60, cfree9 tsql_nvarchar_60,
  cfree10 tsql_nvarchar_60
);
CREATE INDEX IX_pp_routdetail_routid ON pp_routdetail (routid, autoid);

-- Row versions.
CREATE TRIGGER trg_om_productpo_rv BEFORE INSERT OR UPDATE ON om_productpo
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_om_pomain_rv BEFORE INSERT OR UPDATE ON om_pomain
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_productpo_rv BEFORE INSERT OR UPDATE ON pp_productpo
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_pomain_rv BEFORE INSERT OR UPDATE ON pp_pomain
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_PP_MoOrderMa_rv BEFORE INSERT OR UPDATE ON PP_MoOrderMa
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_moorderde_rv BEFORE INSERT OR UPDATE ON pp_moorderde
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_PP_MOOrderRptMa_rv BEFORE INSERT OR UPDATE ON PP_MOOrderRptMa
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_PP_PORptMa_rv BEFORE INSERT OR UPDATE ON PP_PORptMa
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_PP_ROPMain_rv BEFORE INSERT OR UPDATE ON PP_ROPMain
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_PP_ForecastMain_rv BEFORE INSERT OR UPDATE ON PP_ForecastMain
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_workcenter_rv BEFORE INSERT OR UPDATE ON pp_workcenter
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_resource_rv BEFORE INSERT OR UPDATE ON pp_resource
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_operation_rv BEFORE INSERT OR UPDATE ON pp_operation
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
CREATE TRIGGER trg_pp_routmain_rv BEFORE INSERT OR UPDATE ON pp_routmain
  FOR EACH ROW EXECUTE FUNCTION fabrikon_rowversion();
