-- The types every PostgreSQL host script declares its columns with. Run
-- before the schema scripts whenever a database is created or brought up to
-- date, so every statement leaves an existing object as it is.
--
-- tsql: text compares as the server compares it, ignoring case (ICU
-- secondary strength; accents and widths still count). Trailing blanks are
-- not stored: the store functions right-trim text values.
CREATE COLLATION IF NOT EXISTS tsql (provider = icu, locale = 'und-u-ks-level2', deterministic = false);

-- datetime, smalldatetime: dates as text 'YYYY-MM-DD HH:MM:SS', the form the
-- embedded database stores and its date functions take and return; compared
-- byte for byte, which orders them in time.
-- tinyint, tsql_bit: small integers (the server's tinyint and bit).
-- tsql_money_t: the server's money (four decimals).
DO $$
DECLARE
  wanted text[][] := ARRAY[
    ['datetime', 'varchar(23) COLLATE "C"'],
    ['smalldatetime', 'varchar(23) COLLATE "C"'],
    ['tinyint', 'smallint'],
    ['tsql_bit', 'smallint'],
    ['tsql_money_t', 'numeric(19,4)']];
  i int;
BEGIN
  FOR i IN 1 .. array_length(wanted, 1) LOOP
    IF NOT EXISTS (SELECT 1 FROM pg_type t JOIN pg_namespace n ON n.oid = t.typnamespace
                   WHERE t.typname = wanted[i][1] AND n.nspname = current_schema()) THEN
      EXECUTE format('CREATE DOMAIN %I AS %s', wanted[i][1], wanted[i][2]);
    END IF;
  END LOOP;
END
$$;
