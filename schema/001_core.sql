-- Schema version 1: the host's configuration tables, the archives that codes
-- are checked against, and the master data the vouchers draw on (items, bills
-- of materials, sales orders, planning lines).
--
-- Conventions of every script in this folder:
--  * declared types are SQL Server type names, so that the embedded connection
--    reports the ADO type a SQL Server column of that type would have;
--  * quantities, rates and amounts are float (REAL affinity): a decimal would
--    get NUMERIC affinity and make isnull(iWasteRate,0)/100 an integer division;
--  * keys are int; identity columns (INTEGER PRIMARY KEY AUTOINCREMENT) only on
--    tables whose keys the library never computes or writes;
--  * every text column compares as SQL Server does (COLLATE TSQL: case and
--    trailing blanks ignored); the collation is registered on every connection;
--  * dates are datetime, stored as 'YYYY-MM-DD HH:MM:SS';
--  * qxts is the row version: a database-wide counter (__dbts) that triggers
--    write on every insert and update.

CREATE TABLE __dbts (v INTEGER NOT NULL);
INSERT INTO __dbts (v) VALUES (0);

-- One row per voucher kind (card number): tables, views, key columns and
-- default templates. Key and code columns are lower case, spelled exactly as
-- the views deliver them.
CREATE TABLE Vouchers (
  CardNumber nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cVoucherName nvarchar(60) COLLATE TSQL,
  BTTblName nvarchar(60) COLLATE TSQL,
  BWTblName nvarchar(60) COLLATE TSQL,
  BTQName nvarchar(60) COLLATE TSQL,
  BWQName nvarchar(60) COLLATE TSQL,
  VchListQName nvarchar(60) COLLATE TSQL,
  SelfDef1 nvarchar(60) COLLATE TSQL,
  SelfDef2 nvarchar(60) COLLATE TSQL,
  SelfDef3 nvarchar(60) COLLATE TSQL,
  DEF_ID nvarchar(20) COLLATE TSQL,
  DEF_ID_PRN nvarchar(20) COLLATE TSQL
);

-- Options by system: ('AA','iStrsQuanDecDgt') quantity decimals,
-- ('PP','bWasteRate') 1 = material quantities include the waste rate.
CREATE TABLE AccInformation (
  cSysID nvarchar(20) COLLATE TSQL NOT NULL,
  cName nvarchar(60) COLLATE TSQL NOT NULL,
  cValue nvarchar(100) COLLATE TSQL,
  cCaption nvarchar(100) COLLATE TSQL,
  PRIMARY KEY (cSysID, cName)
);
INSERT INTO AccInformation (cSysID, cName, cValue, cCaption) VALUES ('AA', 'iStrsQuanDecDgt', '2', '数量小数位数');
INSERT INTO AccInformation (cSysID, cName, cValue, cCaption) VALUES ('PP', 'bWasteRate', '1', '子件用量考虑损耗率');

-- Settings of the embedded host components (card numbers of the outsourcing
-- vouchers, the template a new outsourcing order receives). Keys of the same
-- name in the connection string take precedence.
CREATE TABLE FabrikonSettings (
  cName nvarchar(60) COLLATE TSQL NOT NULL PRIMARY KEY,
  cValue nvarchar(255) COLLATE TSQL,
  cCaption nvarchar(100) COLLATE TSQL
);
INSERT INTO FabrikonSettings (cName, cValue, cCaption) VALUES ('WWOrderCardNumber', 'om01', '委外生产订单的单据类型编号');
INSERT INTO FabrikonSettings (cName, cValue, cCaption) VALUES ('WWPODetailsCardNumber', 'om02', '委外订单子件的单据类型编号');
INSERT INTO FabrikonSettings (cName, cValue, cCaption) VALUES ('WWOrderDefaultVTID', '30', '新委外生产订单的默认单据模板');

-- Archives. Column names equal the voucher fields they validate, so that a
-- reference check can hand the name back under the field's own name.
CREATE TABLE Department (
  cdepcode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cdepname nvarchar(60) COLLATE TSQL NOT NULL
);

CREATE TABLE Person (
  cpersoncode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cpersonname nvarchar(40) COLLATE TSQL NOT NULL,
  cdepcode nvarchar(30) COLLATE TSQL
);

CREATE TABLE Vendor (
  cvencode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cvenname nvarchar(100) COLLATE TSQL NOT NULL,
  cvenabbname nvarchar(60) COLLATE TSQL
);

CREATE TABLE PayCondition (
  cpaycode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cpayname nvarchar(60) COLLATE TSQL NOT NULL
);

CREATE TABLE ShippingChoice (
  csccode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cscname nvarchar(60) COLLATE TSQL NOT NULL
);

CREATE TABLE Warehouse (
  cwhcode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  cwhname nvarchar(60) COLLATE TSQL NOT NULL,
  cdepcode nvarchar(30) COLLATE TSQL
);

-- Operators who report completions (pp_moorderrptde.operator).
CREATE TABLE Operator (
  coperatorcode nvarchar(30) COLLATE TSQL NOT NULL PRIMARY KEY,
  coperatorname nvarchar(40) COLLATE TSQL NOT NULL,
  wccode nvarchar(30) COLLATE TSQL
);

-- Items. bfree1..bfree10: the item uses free item n (then every voucher line
-- of the item must fill it).
CREATE TABLE inventory (
  cinvcode nvarchar(60) COLLATE TSQL NOT NULL PRIMARY KEY,
  cinvname nvarchar(255) COLLATE TSQL NOT NULL,
  cinvstd nvarchar(255) COLLATE TSQL,
  cunit nvarchar(20) COLLATE TSQL,
  cwhcode nvarchar(30) COLLATE TSQL,
  bfree1 bit DEFAULT 0, bfree2 bit DEFAULT 0, bfree3 bit DEFAULT 0, bfree4 bit DEFAULT 0, bfree5 bit DEFAULT 0,
  bfree6 bit DEFAULT 0, bfree7 bit DEFAULT 0, bfree8 bit DEFAULT 0, bfree9 bit DEFAULT 0, bfree10 bit DEFAULT 0
);

-- Names of the ten free items and the values each may take. A free item
-- without listed values accepts any text.
CREATE TABLE FreeItemDefinition (
  ifreeno tinyint NOT NULL PRIMARY KEY,
  cfreename nvarchar(30) COLLATE TSQL NOT NULL
);

CREATE TABLE FreeItemValue (
  ifreeno tinyint NOT NULL,
  cvalue nvarchar(60) COLLATE TSQL NOT NULL,
  cvaluename nvarchar(60) COLLATE TSQL,
  PRIMARY KEY (ifreeno, cvalue)
);

-- Sales orders. A sales-order line pushed down into outsourcing orders keeps
-- the quantity pushed down so far in fTotolPut; the outsourcing line refers to
-- it as ',' + iSOsID + ','.
CREATE TABLE SO_SOMain (
  id int NOT NULL PRIMARY KEY,
  csocode nvarchar(30) COLLATE TSQL NOT NULL UNIQUE,
  ddate datetime,
  ccusname nvarchar(100) COLLATE TSQL,
  cdepcode nvarchar(30) COLLATE TSQL,
  cpersoncode nvarchar(30) COLLATE TSQL,
  qxts timestamp
);

CREATE TABLE SO_SODetails (
  iSOsID INTEGER PRIMARY KEY AUTOINCREMENT,
  id int NOT NULL,
  cinvcode nvarchar(60) COLLATE TSQL NOT NULL,
  fquantity float,
  fTotolPut float DEFAULT 0,
  cbomsocode nvarchar(30) COLLATE TSQL,
  dpredate datetime,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_SO_SODetails_id ON SO_SODetails (id);

-- Bills of materials. A head (ProductStructure) names the parent item, its
-- free items and, for a sales-order BOM, the sales-order BOM code (csocode;
-- '' or NULL = the standard BOM). Lines (ProductStructures) name one component
-- each; childguid is the iAutoId of the component's own BOM head (NULL when it
-- has none), so the explosion can descend level by level.
CREATE TABLE ProductStructure (
  iAutoId INTEGER PRIMARY KEY AUTOINCREMENT,
  cpspcode nvarchar(60) COLLATE TSQL NOT NULL,
  csocode nvarchar(30) COLLATE TSQL,
  cversion nvarchar(30) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);
CREATE INDEX IX_ProductStructure_cpspcode ON ProductStructure (cpspcode);

CREATE TABLE ProductStructures (
  autoid INTEGER PRIMARY KEY AUTOINCREMENT,
  iPId int NOT NULL,
  cpscode nvarchar(60) COLLATE TSQL NOT NULL,
  ipsquantity float,
  iwasterate float,
  cdepcode nvarchar(30) COLLATE TSQL,
  cwhcode nvarchar(30) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL,
  childguid int
);
CREATE INDEX IX_ProductStructures_iPId ON ProductStructures (iPId);

-- Planning (MRP) lines: icheck is the quantity released for ordering, iinput
-- the quantity already ordered by production and outsourcing order lines
-- (recomputed by the library). cmpid is required: count(cmpid) decides over-release.
CREATE TABLE pp_rmrpdetails (
  nid INTEGER PRIMARY KEY AUTOINCREMENT,
  cmpid nvarchar(30) COLLATE TSQL NOT NULL,
  cinvcode nvarchar(60) COLLATE TSQL NOT NULL,
  isupplytype tinyint,
  fquantity float,
  icheck float DEFAULT 0,
  iinput float DEFAULT 0,
  dstartdate datetime,
  denddate datetime,
  cdepcode nvarchar(30) COLLATE TSQL,
  cfree1 nvarchar(60) COLLATE TSQL, cfree2 nvarchar(60) COLLATE TSQL, cfree3 nvarchar(60) COLLATE TSQL,
  cfree4 nvarchar(60) COLLATE TSQL, cfree5 nvarchar(60) COLLATE TSQL, cfree6 nvarchar(60) COLLATE TSQL,
  cfree7 nvarchar(60) COLLATE TSQL, cfree8 nvarchar(60) COLLATE TSQL, cfree9 nvarchar(60) COLLATE TSQL,
  cfree10 nvarchar(60) COLLATE TSQL
);

-- Receipts of outsourced goods that refer to an outsourcing order by its code,
-- and their lines (AutoIDs = the receipt).
CREATE TABLE YK_MachineInBill (
  autoid INTEGER PRIMARY KEY AUTOINCREMENT,
  ccode nvarchar(30) COLLATE TSQL NOT NULL,
  ddate datetime,
  cvencode nvarchar(30) COLLATE TSQL
);

CREATE TABLE YK_MachineInBills (
  autoid INTEGER PRIMARY KEY AUTOINCREMENT,
  AutoIDs int NOT NULL,
  cinvcode nvarchar(60) COLLATE TSQL,
  fquantity float
);
CREATE INDEX IX_YK_MachineInBills_AutoIDs ON YK_MachineInBills (AutoIDs);

-- Outsourcing purchase invoice lines; ompoccode is the outsourcing order code.
CREATE TABLE om_purbillvouchs (
  autoid int NOT NULL PRIMARY KEY,
  ompoccode nvarchar(30) COLLATE TSQL,
  cinvcode nvarchar(60) COLLATE TSQL,
  fquantity float,
  fmoney float
);

-- Row versions of the sales-order heads (outsourcing lines pushed down from a
-- sales order carry the version they saw).
CREATE TRIGGER trg_SO_SOMain_rv_ins AFTER INSERT ON SO_SOMain BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE SO_SOMain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER trg_SO_SOMain_rv_upd AFTER UPDATE ON SO_SOMain WHEN NEW.qxts IS OLD.qxts BEGIN
  UPDATE __dbts SET v = v + 1;
  UPDATE SO_SOMain SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid;
END;
