-- The types every PostgreSQL host script declares its columns with. Run
-- before the schema scripts whenever a database is created or brought up to
-- date, so every statement leaves an existing object as it is.
--
-- tsql: text compares as the server compares it, ignoring case (ICU
-- secondary strength; accents and widths still count).
CREATE COLLATION IF NOT EXISTS tsql (provider = icu, locale = 'und-u-ks-level2', deterministic = false);

-- Text columns (the server's nvarchar(n) and varchar(n)): tsql_nvarchar_N,
-- a bpchar without a length, so that trailing blanks do not count when
-- values are compared, as on the server, yet every value keeps the blanks it
-- was stored with; the check refuses a value longer than N characters
-- (trailing blanks aside, as the server counts them). tsql_nvarchar_max has
-- no limit. tsql_text_domain(n) makes the domain of a length when a table is
-- created with it and answers its name.
CREATE OR REPLACE FUNCTION tsql_text_domain(n integer) RETURNS text
LANGUAGE plpgsql AS $$
DECLARE
  name text := 'tsql_nvarchar_' || CASE WHEN n IS NULL OR n <= 0 THEN 'max' ELSE n::text END;
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_type t JOIN pg_namespace s ON s.oid = t.typnamespace
                 WHERE t.typname = name AND s.nspname = current_schema()) THEN
    IF n IS NULL OR n <= 0 THEN
      EXECUTE format('CREATE DOMAIN %I AS bpchar COLLATE tsql', name);
    ELSE
      EXECUTE format('CREATE DOMAIN %I AS bpchar COLLATE tsql CHECK (char_length(VALUE) <= %s)', name, n);
    END IF;
  END IF;
  RETURN name;
END
$$;
SELECT tsql_text_domain(n) FROM (VALUES (0), (10), (20), (30), (40), (60), (100), (255)) AS lengths (n);

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
