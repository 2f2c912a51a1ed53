-- Stand-ins of the three runtime functions the views call, for checking the
-- schema scripts while the build has no schema/pg/runtime.sql: the row
-- version n as money text (n/10000, four decimals), as money, and the money's
-- 30-character style-2 text.
CREATE OR REPLACE FUNCTION tsql_rowversion(n bigint) RETURNS text LANGUAGE sql IMMUTABLE AS
$$ SELECT to_char(n / 10000.0, 'FM999999999999990.0000') $$;
CREATE OR REPLACE FUNCTION tsql_money_rv(n bigint) RETURNS numeric LANGUAGE sql IMMUTABLE AS
$$ SELECT n / 10000.0 $$;
CREATE OR REPLACE FUNCTION tsql_char_money2(m numeric) RETURNS text LANGUAGE sql IMMUTABLE AS
$$ SELECT rpad(to_char(m, 'FM999999999999990.0000'), 30) $$;
