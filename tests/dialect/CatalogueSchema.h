// CatalogueSchema: a small slice of the host database for the dialect tests:
// the tables the catalogue's statements touch, declared the way the embedded
// schema declares them (text COLLATE TSQL, quantities REAL, keys int, dates
// datetime, qxts an integer row version kept by triggers), and two views that
// deliver qxts as money text.
#pragma once

namespace fabrikon::dialect::test {

inline constexpr const char* kCatalogueSchema = R"SQL(
CREATE TABLE __dbts(v INTEGER NOT NULL); INSERT INTO __dbts VALUES(0);
CREATE TABLE Vouchers(CardNumber nvarchar(30) COLLATE TSQL PRIMARY KEY, BTTblName nvarchar(60) COLLATE TSQL,
  DEF_ID nvarchar(20) COLLATE TSQL);
INSERT INTO Vouchers VALUES('pp13','PP_MoOrderMa',NULL);
CREATE TABLE AccInformation(cSysID nvarchar(20) COLLATE TSQL, cName nvarchar(60) COLLATE TSQL,
  cValue nvarchar(100) COLLATE TSQL);
INSERT INTO AccInformation VALUES('AA','iStrsQuanDecDgt',NULL),('PP','bWasteRate','1');
CREATE TABLE om_productpo(id int PRIMARY KEY, ccode nvarchar(30) COLLATE TSQL, ddate datetime,
  cmaker nvarchar(20) COLLATE TSQL, istate int DEFAULT 1, cverifier nvarchar(20) COLLATE TSQL,
  dcheckdate datetime, ivtid smallint, qxts timestamp);
CREATE INDEX ix_om_productpo_ccode ON om_productpo(ccode);
CREATE TABLE om_pomain(mainid int PRIMARY KEY, id int, cinvcode nvarchar(60) COLLATE TSQL, fquantity float,
  finquantity float, cclose nvarchar(20) COLLATE TSQL, cSOsIDs nvarchar(255) COLLATE TSQL, idatafrom int,
  cfree1 nvarchar(60) COLLATE TSQL, qxts timestamp);
CREATE TABLE SO_SODetails(iSOsID INTEGER PRIMARY KEY AUTOINCREMENT, id int, fTotolPut float,
  cbomsocode nvarchar(30) COLLATE TSQL);
CREATE TABLE so_somain(id int PRIMARY KEY, qxts timestamp);
CREATE TABLE pp_rmrpdetails(nid INTEGER PRIMARY KEY AUTOINCREMENT, icheck float, iinput float,
  cmpid nvarchar(30) COLLATE TSQL NOT NULL DEFAULT 'P');
CREATE TABLE pp_pomain(mainid int PRIMARY KEY, id int, fquantity float, idatafrom int);
CREATE VIEW v_om_h AS SELECT id, ccode, ddate, istate, cverifier, tsql_rowversion(qxts) AS qxts FROM om_productpo;
CREATE VIEW v_om_l AS SELECT l.mainid, l.id, l.fquantity, tsql_rowversion(l.qxts) AS qxts,
  tsql_char_money2(tsql_money_rv(s.qxts)) AS soqxts
  FROM om_pomain l LEFT JOIN SO_SODetails d ON l.cSOsIDs = ',' || d.iSOsID || ',' LEFT JOIN so_somain s ON s.id = d.id;
)SQL";

// The row-version triggers of one table (a database-wide counter).
inline std::string RowVersionTriggers(const std::string& table) {
  return "CREATE TRIGGER trg_" + table + "_rv_ins AFTER INSERT ON " + table +
         " BEGIN UPDATE __dbts SET v = v + 1; UPDATE " + table +
         " SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid; END;"
         "CREATE TRIGGER trg_" + table + "_rv_upd AFTER UPDATE ON " + table +
         " WHEN NEW.qxts IS OLD.qxts BEGIN UPDATE __dbts SET v = v + 1; UPDATE " + table +
         " SET qxts = (SELECT v FROM __dbts) WHERE rowid = NEW.rowid; END;";
}

}  // namespace fabrikon::dialect::test
