-- Checks of the PostgreSQL runtime (schema/pg/runtime.sql) against the
-- answers of the embedded engine's functions for the same T-SQL (given as
-- the third argument). Run on a database holding the runtime:
--   psql -v ON_ERROR_STOP=1 -f tests/pg/runtime_checks.sql
-- The first mismatch raises.
\set ON_ERROR_STOP 1
SET client_min_messages = warning;
CREATE COLLATION IF NOT EXISTS tsql (provider = icu, locale = 'und-u-ks-level2', deterministic = false);

CREATE OR REPLACE FUNCTION pg_temp.tsql_check(actual anyelement, expected text, tsql text DEFAULT '') RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
  IF actual::text IS DISTINCT FROM expected THEN
    RAISE EXCEPTION 'check failed: % gave [%], expected [%]', tsql, actual, expected;
  END IF;
END $$;
CREATE OR REPLACE FUNCTION pg_temp.tsql_check(actual text, expected text, tsql text DEFAULT '') RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
  IF actual IS DISTINCT FROM expected THEN
    RAISE EXCEPTION 'check failed: % gave [%], expected [%]', tsql, actual, expected;
  END IF;
END $$;

-- expr must fail with this SQLSTATE and message.
CREATE OR REPLACE FUNCTION pg_temp.tsql_check_error(expr text, state text, message text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
  got_state text;
  got_message text;
BEGIN
  BEGIN
    EXECUTE 'SELECT ' || expr;
  EXCEPTION WHEN OTHERS THEN
    GET STACKED DIAGNOSTICS got_state = RETURNED_SQLSTATE, got_message = MESSAGE_TEXT;
    IF got_state <> state OR got_message <> message THEN
      RAISE EXCEPTION 'check failed: % raised % [%], expected % [%]', expr, got_state, got_message, state, message;
    END IF;
    RETURN;
  END;
  RAISE EXCEPTION 'check failed: % raised nothing, expected % [%]', expr, state, message;
END $$;

-- ---- the embedded engine's answers --------------------------------------------
SELECT pg_temp.tsql_check(tsql_char_money2(tsql_money(1.5)), '1.5000                        ', 'convert(char, convert(money, 1.5), 2)');
SELECT pg_temp.tsql_check(tsql_money('1,234.5'), '1234.5', 'convert(money, ''1,234.5'')');
SELECT pg_temp.tsql_check(tsql_money(1.23456::float8), '1.2346', 'convert(money, 1.23456)');
SELECT pg_temp.tsql_check(tsql_int('12', 32), '12', 'convert(int, ''12'')');
SELECT pg_temp.tsql_check(tsql_int(12.7::float8, 32), '12', 'convert(int, 12.7)');
SELECT pg_temp.tsql_check(tsql_int(' -42 ', 64), '-42', 'convert(bigint, '' -42 '')');
SELECT pg_temp.tsql_check(tsql_str(12, 10, 0, 0), '12', 'convert(varchar(10), 12)');
SELECT pg_temp.tsql_check(tsql_str(12, 5, 0, 1) || '|', '12   |', 'convert(char(5), 12) + ''|''');
SELECT pg_temp.tsql_check(tsql_str(12345, 3, 0, 0), '*', 'convert(varchar(3), 12345)');
SELECT pg_temp.tsql_check(tsql_str(1.5::float8, 30, 0, 0), '1.5', 'convert(varchar(30), 1.5e0)');
SELECT pg_temp.tsql_check(tsql_str('2024-01-05 13:04:05', 30, 0, 0), 'Jan  5 2024  1:04PM', 'convert(varchar(30), convert(datetime, ''2024-01-05 13:04:05''), 0)');
SELECT pg_temp.tsql_check(tsql_str('2024-01-05 13:04:05', 30, 103, 0), '05/01/2024', 'convert(varchar(30), convert(datetime, ''2024-01-05 13:04:05''), 103)');
SELECT pg_temp.tsql_check(tsql_str('2024-01-05 13:04:05', 30, 120, 0), '2024-01-05 13:04:05', 'convert(varchar(30), convert(datetime, ''2024-01-05 13:04:05''), 120)');
SELECT pg_temp.tsql_check(tsql_money_str(tsql_money(1234567.891), 30, 1, 0), '1,234,567.89', 'convert(varchar(30), convert(money, 1234567.891), 1)');
SELECT pg_temp.tsql_check(tsql_decimal('2.675', 10, 2), '2.68', 'convert(decimal(10,2), ''2.675'')');
SELECT pg_temp.tsql_check(tsql_decimal(5.5, 10, 0), '6', 'convert(decimal(10,0), 5.5)');
SELECT pg_temp.tsql_check(tsql_float('1.5e3'), '1500', 'convert(float, ''1.5e3'')');
SELECT pg_temp.tsql_check(tsql_float('2024-01-02 12:00:00'), '45291.5', 'convert(float, convert(datetime, ''2024-01-02 12:00:00''))');
SELECT pg_temp.tsql_check(tsql_bit('TRUE'), '1', 'convert(bit, ''TRUE'')');
SELECT pg_temp.tsql_check(tsql_bit(5), '1', 'convert(bit, 5)');
SELECT pg_temp.tsql_check(tsql_datetime('2024-01-05 10:00:00.5'), '2024-01-05 10:00:00.500', 'convert(datetime, ''2024-01-05 10:00:00.5'')');
SELECT pg_temp.tsql_check(tsql_datetime('31/12/2024 10:00', 103), '2024-12-31 10:00:00', 'convert(datetime, ''31/12/2024 10:00'', 103)');
SELECT pg_temp.tsql_check(tsql_date('2024-01-05 10:00', 0), '2024-01-05 00:00:00', 'convert(date, ''2024-01-05 10:00'')');
SELECT pg_temp.tsql_check(tsql_datetime('20240105'), '2024-01-05 00:00:00', 'convert(datetime, ''20240105'')');
SELECT pg_temp.tsql_check(tsql_datetime(''), '1900-01-01 00:00:00', 'convert(datetime, '''')');
SELECT pg_temp.tsql_check(tsql_mod(7, 3), '1', '7 % 3');
SELECT pg_temp.tsql_check(tsql_mod(-7, 2), '-1', '-7 % 2');
SELECT pg_temp.tsql_check(tsql_mod(5.3, 1), '0.3', '5.3 % 1');
SELECT pg_temp.tsql_check(tsql_numeric_div(2, 3.0, 10, 6), '0.666666', '2 / 3.0');
SELECT pg_temp.tsql_check(tsql_numeric_str(-0.001, 2, 30, 0), '0.00', 'convert(varchar(30), convert(decimal(10,2), -0.001))');
SELECT pg_temp.tsql_check(tsql_numeric_str(1234.5, 2, 30, 0), '1234.50', 'convert(varchar(30), convert(decimal(10,2), 1234.5))');
SELECT pg_temp.tsql_check(tsql_float_str(1234567::float8, 30, 0, 0), '1.23457e+006', 'convert(varchar(30), convert(float, 1234567))');
SELECT pg_temp.tsql_check(tsql_float_str(0.1::float8, 30, 3, 0), '0.10000000000000001', 'convert(varchar(30), convert(float, 0.1), 3)');
SELECT pg_temp.tsql_check(tsql_float_str(123.456::float8, 30, 1, 0), '1.2345600e+002', 'convert(varchar(30), convert(float, 123.456), 1)');
SELECT pg_temp.tsql_check(tsql_float_str(123.456::float8, 30, 2, 0), '1.234560000000000e+002', 'convert(varchar(30), convert(float, 123.456), 2)');
SELECT pg_temp.tsql_check(len('ab  '), '2', 'len(''ab  '')');
SELECT pg_temp.tsql_check(len(12), '2', 'len(12)');
SELECT pg_temp.tsql_check(charindex('B', 'abc'), '2', 'charindex(''B'', ''abc'')');
SELECT pg_temp.tsql_check(charindex('b', 'abcb', 3), '4', 'charindex(''b'', ''abcb'', 3)');
SELECT pg_temp.tsql_check(tsql_left('abc', 2), 'ab', 'left(''abc'', 2)');
SELECT pg_temp.tsql_check(tsql_right('abc', 2), 'bc', 'right(''abc'', 2)');
SELECT pg_temp.tsql_check(tsql_right('abc', 5), 'abc', 'right(''abc'', 5)');
SELECT pg_temp.tsql_check(replicate('ab', 3), 'ababab', 'replicate(''ab'', 3)');
SELECT pg_temp.tsql_check(space(2) || '|', '  |', 'space(2) + ''|''');
SELECT pg_temp.tsql_check(isnumeric('$1,000.5'), '1', 'isnumeric(''$1,000.5'')');
SELECT pg_temp.tsql_check(isnumeric('1d2'), '1', 'isnumeric(''1d2'')');
SELECT pg_temp.tsql_check(isnumeric('abc'), '0', 'isnumeric(''abc'')');
SELECT pg_temp.tsql_check(isnumeric(5), '1', 'isnumeric(5)');
SELECT pg_temp.tsql_check(isnumeric(''), '0', 'isnumeric('''')');
SELECT pg_temp.tsql_check(year('2024-03-05'), '2024', 'year(''2024-03-05'')');
SELECT pg_temp.tsql_check(month('2024-03-05'), '3', 'month(''2024-03-05'')');
SELECT pg_temp.tsql_check(day('2024-03-05'), '5', 'day(''2024-03-05'')');
SELECT pg_temp.tsql_check(tsql_datepart('wk', '2024-03-05'), '10', 'datepart(wk, ''2024-03-05'')');
SELECT pg_temp.tsql_check(tsql_datepart('dw', '2024-03-05'), '3', 'datepart(dw, ''2024-03-05'')');
SELECT pg_temp.tsql_check(tsql_datepart('dy', '2024-03-05'), '65', 'datepart(dy, ''2024-03-05'')');
SELECT pg_temp.tsql_check(tsql_datepart('q', '2024-08-05'), '3', 'datepart(q, ''2024-08-05'')');
SELECT pg_temp.tsql_check(tsql_datename('month', '2024-03-05'), 'March', 'datename(month, ''2024-03-05'')');
SELECT pg_temp.tsql_check(tsql_datename('dw', '2024-03-05'), 'Tuesday', 'datename(dw, ''2024-03-05'')');
SELECT pg_temp.tsql_check(tsql_datediff('day', '2024-01-01', '2024-03-01'), '60', 'datediff(day, ''2024-01-01'', ''2024-03-01'')');
SELECT pg_temp.tsql_check(tsql_datediff('week', '2024-03-02', '2024-03-03'), '1', 'datediff(week, ''2024-03-02'', ''2024-03-03'')');
SELECT pg_temp.tsql_check(tsql_datediff('month', '2024-01-31', '2024-02-01'), '1', 'datediff(month, ''2024-01-31'', ''2024-02-01'')');
SELECT pg_temp.tsql_check(tsql_datediff('hour', '2024-01-01 10:59', '2024-01-01 11:00'), '1', 'datediff(hour, ''2024-01-01 10:59'', ''2024-01-01 11:00'')');
SELECT pg_temp.tsql_check(tsql_dateadd('month', 1, '2024-01-31 10:00:00'), '2024-02-29 10:00:00', 'dateadd(month, 1, ''2024-01-31 10:00:00'')');
SELECT pg_temp.tsql_check(tsql_dateadd('hh', -5, '2024-01-01 02:00:00'), '2023-12-31 21:00:00', 'dateadd(hh, -5, ''2024-01-01 02:00:00'')');
SELECT pg_temp.tsql_check(tsql_dateadd('day', 10, '2024-02-25'), '2024-03-06 00:00:00', 'dateadd(day, 10, ''2024-02-25'')');
SELECT pg_temp.tsql_check(eomonth('2024-02-10'), '2024-02-29 00:00:00', 'eomonth(''2024-02-10'')');
SELECT pg_temp.tsql_check(eomonth('2024-01-31', 1), '2024-02-29 00:00:00', 'eomonth(''2024-01-31'', 1)');
SELECT pg_temp.tsql_check(datalength('abc'), '3', 'datalength(''abc'')');
SELECT pg_temp.tsql_check(datalength(5), '4', 'datalength(5)');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('ABC', 'a%') THEN 1 ELSE 0 END, '1', 'case when ''ABC'' like ''a%'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('abc', '[a-b]bc') THEN 1 ELSE 0 END, '1', 'case when ''abc'' like ''[a-b]bc'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('abc', '[^a]bc') THEN 1 ELSE 0 END, '0', 'case when ''abc'' like ''[^a]bc'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('a%c', 'a!%c', '!') THEN 1 ELSE 0 END, '1', 'case when ''a%c'' like ''a!%c'' escape ''!'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('abc', 'a!%c', '!') THEN 1 ELSE 0 END, '0', 'case when ''abc'' like ''a!%c'' escape ''!'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('a_c', 'a_c') THEN 1 ELSE 0 END, '1', 'case when ''a_c'' like ''a_c'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('a.c', 'a.c') THEN 1 ELSE 0 END, '1', 'case when ''a.c'' like ''a.c'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('abc', 'a.c') THEN 1 ELSE 0 END, '0', 'case when ''abc'' like ''a.c'' then 1 else 0 end');
SELECT pg_temp.tsql_check(CASE WHEN tsql_like('[x', '[x') THEN 1 ELSE 0 END, '1', 'case when ''[x'' like ''[x'' then 1 else 0 end');

-- ---- results the shell does not show as the functions give them ---------------
SELECT pg_temp.tsql_check(tsql_rowversion(2001), '0.2001', 'view text of qxts 2001');
SELECT pg_temp.tsql_check(tsql_char_money2(tsql_money_rv(2001)), '0.2001                        ', 'soqxts');
SELECT pg_temp.tsql_check(tsql_money_rv('0.2001'), '0.2001', 'convert(money, qxts) of the view text');
SELECT pg_temp.tsql_check(tsql_int('2024-01-01 13:00:00', 32), '45291', 'convert(int, datetime) rounds the day');
SELECT pg_temp.tsql_check(tsql_blank(5), '0', 'blank against a number');
SELECT pg_temp.tsql_check(tsql_blank('x'::text), '', 'blank against a text');
SELECT pg_temp.tsql_check(tsql_divisor(3), '3', 'divisor');
SELECT pg_temp.tsql_check(tsql_add(1, 2), '3', '1 + 2');
SELECT pg_temp.tsql_check(tsql_add('a', 'b'), 'ab', '''a'' + ''b''');
SELECT pg_temp.tsql_check(tsql_add(1, '2'), '3', '1 + ''2''');
SELECT pg_temp.tsql_check(tsql_add('2', 1.5), '3.5', '''2'' + 1.5');
SELECT pg_temp.tsql_check(tsql_numeric(12, 10, 2), '12', 'decimal of an int');
SELECT pg_temp.tsql_check(tsql_numeric('2.675', 10, 2), '2.68', 'decimal of a text');
SELECT pg_temp.tsql_check(tsql_numeric_div(0.3, 0.1, 10, 6), '3', '0.3 / 0.1');
SELECT pg_temp.tsql_check(tsql_date_add('2024-01-01 00:00:00', 1.5, 1), '2024-01-02 12:00:00', 'date + 1.5');
SELECT pg_temp.tsql_check(tsql_date_add('2024-03-01 00:00:00', '2024-01-01 00:00:00', -1), '1900-03-02 00:00:00', 'date - date');
SELECT pg_temp.tsql_check(tsql_fixed_length(1.5, 8), '8', 'datalength of a float');
SELECT pg_temp.tsql_check(tsql_national_length('aé'), '4', 'datalength of nvarchar');
SELECT pg_temp.tsql_check(length(getdate()), '19', 'getdate');
SELECT pg_temp.tsql_check(length(getutcdate()), '19', 'getutcdate');
SELECT pg_temp.tsql_check(tsql_like('a ', 'a'), 'false', 'trailing blank of Unicode text counts');
SELECT pg_temp.tsql_check(tsql_like('a ', 'a', chr(1)), 'true', 'trailing blank of varchar does not');
SELECT pg_temp.tsql_check(tsql_like('ÀB', 'àb'), 'true', 'LIKE folds Latin-1');
SELECT pg_temp.tsql_check(tsql_like('a', '[z-a]'), 'false', 'an empty range matches nothing');
SELECT pg_temp.tsql_check(tsql_like(12, '1%'), 'true', 'LIKE on a number');

-- store conversions, by name and by the kind's number
SELECT pg_temp.tsql_check(tsql_store_1('12', 32, 0), '12', 'int column');
SELECT pg_temp.tsql_check(tsql_store_integer(1.9::float8, 16, 0), '1', 'smallint column');
SELECT pg_temp.tsql_check(tsql_store_2('2.675', 10, 2), '2.68', 'decimal column');
SELECT pg_temp.tsql_check(tsql_store_3('1,234.5', 0, 0), '1234.5', 'money column');
SELECT pg_temp.tsql_check(tsql_store_4('', 0, 0), '0', 'float column');
SELECT pg_temp.tsql_check(tsql_store_5('false', 0, 0), '0', 'bit column');
SELECT pg_temp.tsql_check(tsql_store_6('2024-01-05 10:00:00.5', 0, 0), '2024-01-05 10:00:00', 'datetime column');
SELECT pg_temp.tsql_check(tsql_store_7('2024-01-05 10:00', 0, 0), '2024-01-05 00:00:00', 'date column');
SELECT pg_temp.tsql_check(tsql_store_8('ab  ', 5, 0), 'ab', 'char column: stored trimmed');
SELECT pg_temp.tsql_check(tsql_store_9(12, 5, 0), '12', 'varchar column');
-- implicit conversions
SELECT pg_temp.tsql_check(tsql_as_int('12', 'varchar'), '12', 'int = ''12''');
SELECT pg_temp.tsql_check(tsql_as_int('abc', 'varchar', 1), NULL, 'key lookup of a text that is no number');
SELECT pg_temp.tsql_check(tsql_as_int(5, 'varchar'), '5', 'no text: as it is');
SELECT pg_temp.tsql_check(tsql_as_bit('true', 'varchar'), '1', 'bit');
SELECT pg_temp.tsql_check(tsql_as_money('1,5', 'varchar'), '15', 'money');
SELECT pg_temp.tsql_check(tsql_as_numeric('1.25', 'varchar'), '1.25', 'numeric');
SELECT pg_temp.tsql_check(tsql_as_float('', 'nvarchar'), '0', 'float of blank');
SELECT pg_temp.tsql_check(tsql_as_real('2', 'varchar'), '2', 'real');
SELECT pg_temp.tsql_check(tsql_as_tinyint('2', 'varchar'), '2', 'tinyint');
SELECT pg_temp.tsql_check(tsql_as_smallint('2', 'varchar'), '2', 'smallint');
SELECT pg_temp.tsql_check(tsql_as_bigint('2', 'varchar'), '2', 'bigint');
SELECT pg_temp.tsql_check(tsql_as_date('Feb 3 2024 10:00', 'varchar'), '2024-02-03 00:00:00', 'date with a month name');
SELECT pg_temp.tsql_check(tsql_as_datetime('2024-02-03 10:00', 'varchar'), '2024-02-03 10:00:00', 'datetime');

-- ---- overloads: literals and columns of every type resolve ---------------------
CREATE TEMP TABLE typed (i integer, s smallint, b bigint, n numeric(19,4), f double precision, t varchar(10),
                         c char(5), d text);
INSERT INTO typed VALUES (7, 7, 7, 7, 7, '7', '7', '2024-01-05 00:00:00');
SELECT pg_temp.tsql_check(tsql_int(i, 32) + tsql_int(s, 32) + tsql_int(b, 32) + tsql_int(n, 32) + tsql_int(f, 32)
                          + tsql_int(t, 32) + tsql_int(c, 32), '49', 'tsql_int of each type') FROM typed;
SELECT pg_temp.tsql_check(tsql_str(i, 5, 0, 0) || tsql_str(s, 5, 0, 0) || tsql_str(b, 5, 0, 0) || tsql_str(n, 5, 0, 0)
                          || tsql_str(f, 5, 0, 0) || tsql_str(t, 5, 0, 0), '777777', 'tsql_str of each type') FROM typed;
SELECT pg_temp.tsql_check(tsql_add(i, s) + tsql_add(b, n) + tsql_add(f, 1) + tsql_add(i, t), '50', 'tsql_add mixes') FROM typed;
SELECT pg_temp.tsql_check(tsql_mod(i, 4) + tsql_mod(n, 4) + tsql_mod(t, 4) + tsql_mod(12, t), '14', 'tsql_mod mixes') FROM typed;
SELECT pg_temp.tsql_check(len(c) + len(t) + len(i) + len(f), '4', 'len of each type') FROM typed;
SELECT pg_temp.tsql_check(tsql_datediff('day', d, '2024-01-06') + year(d) + tsql_datepart('dd', d), '2030', 'dates from a column') FROM typed;
SELECT pg_temp.tsql_check(tsql_money('12'), '12', 'unknown literal');
SELECT pg_temp.tsql_check(tsql_money(12), '12', 'integer literal');
SELECT pg_temp.tsql_check(tsql_money(NULL), NULL, 'NULL');


-- text columns of the case-insensitive collation reach every text function
CREATE TEMP TABLE ci (v varchar(30) COLLATE tsql, m varchar(30) COLLATE tsql, d varchar(30) COLLATE tsql);
INSERT INTO ci VALUES ('AbC', '1,234.5', '2024-01-05 10:00:00.5');
SELECT pg_temp.tsql_check(tsql_like(v, 'a%'), 'true', 'LIKE on a tsql column'),
       pg_temp.tsql_check(tsql_like(v, '%!%', '!'), 'false', 'LIKE with escape on a tsql column'),
       pg_temp.tsql_check(tsql_like('xABCx', '%' || v || '%'), 'true', 'a tsql pattern'),
       pg_temp.tsql_check(charindex('b', v), '2', 'charindex on a tsql column'),
       pg_temp.tsql_check(len(v) + isnumeric(v) + isnumeric(m), '4', 'len, isnumeric'),
       pg_temp.tsql_check(tsql_left(v, 2) || tsql_right(v, 1) || replicate(v, 2), 'AbCAbCAbC', 'left, right, replicate'),
       pg_temp.tsql_check(tsql_money(m), '1234.5', 'money of a tsql column'),
       pg_temp.tsql_check(tsql_store_3(m, 0, 0), '1234.5', 'store money of a tsql column'),
       pg_temp.tsql_check(tsql_as_money(m, 'varchar'), '1234.5', 'as money of a tsql column'),
       pg_temp.tsql_check(tsql_datetime(d), '2024-01-05 10:00:00.500', 'datetime of a tsql column'),
       pg_temp.tsql_check(tsql_str(d, 30, 0, 0), '2024-01-05 10:00:00.5', 'a text not in the stored form keeps its text'),
       pg_temp.tsql_check(tsql_datepart('mm', d), '1', 'datepart of a tsql column')
FROM ci;

-- ---- errors: SQLSTATE and SQL Server's text -------------------------------------
DO $$
BEGIN
  PERFORM pg_temp.tsql_check_error($q$tsql_int('abc', 32)$q$, '22018',
    'Conversion failed when converting the varchar value ''abc'' to data type int.');
  PERFORM pg_temp.tsql_check_error($q$tsql_int(300, 8)$q$, '22003',
    'Arithmetic overflow error for data type tinyint, value = 300.');
  PERFORM pg_temp.tsql_check_error($q$tsql_int(3000000000, 32)$q$, '22003',
    'Arithmetic overflow error converting expression to data type int.');
  PERFORM pg_temp.tsql_check_error($q$tsql_money('x')$q$, '22018',
    'Conversion failed when converting the varchar value ''x'' to data type money.');
  PERFORM pg_temp.tsql_check_error($q$tsql_divisor(0)$q$, '22012', 'Divide by zero error encountered.');
  PERFORM pg_temp.tsql_check_error($q$tsql_divisor('0')$q$, '22012', 'Divide by zero error encountered.');
  PERFORM pg_temp.tsql_check_error($q$tsql_mod(7, 0)$q$, '22012', 'Divide by zero error encountered.');
  PERFORM pg_temp.tsql_check_error($q$tsql_numeric_div(1, 0, 10, 2)$q$, '22012', 'Divide by zero error encountered.');
  PERFORM pg_temp.tsql_check_error($q$tsql_decimal(123.4, 3, 1)$q$, '22003',
    'Arithmetic overflow error converting numeric to data type numeric.');
  PERFORM pg_temp.tsql_check_error($q$tsql_decimal('x', 3, 1)$q$, '22018',
    'Error converting data type varchar to numeric.');
  PERFORM pg_temp.tsql_check_error($q$tsql_datetime('2024-02-30')$q$, '22018',
    'The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.');
  PERFORM pg_temp.tsql_check_error($q$tsql_datetime('zz')$q$, '22018',
    'Conversion failed when converting date and/or time from character string.');
  PERFORM pg_temp.tsql_check_error($q$tsql_left('abc', -1)$q$, 'P0001',
    'Invalid length parameter passed to the left function.');
  PERFORM pg_temp.tsql_check_error($q$tsql_right('abc', -1)$q$, 'P0001',
    'Invalid length parameter passed to the right function.');
  PERFORM pg_temp.tsql_check_error($q$tsql_datepart('xx', '2024-01-01')$q$, 'P0001',
    'Invalid parameter 1 specified for datepart.');
  PERFORM pg_temp.tsql_check_error($q$tsql_bit('yes')$q$, '22018',
    'Conversion failed when converting the varchar value ''yes'' to data type bit.');
  PERFORM pg_temp.tsql_check_error($q$tsql_numeric_str(123.4, 2, 2, 0)$q$, '22003',
    'Arithmetic overflow error converting numeric to data type varchar.');
  PERFORM pg_temp.tsql_check_error($q$tsql_dateadd('year', 9000, '2024-01-01')$q$, '22003',
    'Adding a value to a ''datetime'' column caused an overflow.');
  PERFORM pg_temp.tsql_check_error($q$tsql_like('a', 'b', 'xy')$q$, 'P0001',
    'ESCAPE expression must be a single character');
  PERFORM pg_temp.tsql_check_error($q$tsql_datediff('second', '1753-01-01', '9999-01-01')$q$, '22003',
    'The datediff function resulted in an overflow. The number of dateparts separating two date/time instances is too large. Try to use datediff with a less precise datepart.');
  PERFORM pg_temp.tsql_check_error($q$tsql_store_3('x', 0, 0)$q$, '22018',
    'Cannot convert a char value to money. The char value has incorrect syntax.');
  PERFORM pg_temp.tsql_check_error($q$tsql_as_int('x', 'nvarchar')$q$, '22018',
    'Conversion failed when converting the nvarchar value ''x'' to data type int.');
  PERFORM pg_temp.tsql_check_error($q$tsql_as_smallint('99999', 'varchar')$q$, '22003',
    'The conversion of the varchar value ''99999'' overflowed an smallint column. Use a larger integer column.');
  PERFORM pg_temp.tsql_check_error($q$tsql_as_numeric('x', 'varchar')$q$, '22018',
    'Error converting data type varchar to numeric.');
  PERFORM pg_temp.tsql_check_error($q$tsql_str(123456, 3, 0, 2)$q$, '22003',
    'Arithmetic overflow error converting expression to data type nvarchar.');
END $$;

SELECT 'runtime checks passed' AS result;
