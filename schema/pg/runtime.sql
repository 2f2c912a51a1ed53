-- The runtime of the T-SQL translation on PostgreSQL: the functions the
-- translated statements call, with the results and the error texts SQL
-- Server gives. Values come in as PostgreSQL types (text, bigint/integer/
-- smallint, numeric, double precision); each function reads them as the
-- embedded engine's value classes (integer, real, text), so one translation
-- serves both engines. Dates are text 'YYYY-MM-DD HH:MM:SS'.
-- Idempotent: every object is created or replaced.
--
-- Errors: SQLSTATE 22018 for a failed conversion, 22003 for an overflow,
-- 22012 for a division by zero; P0001 for the other refusals.
--
-- Helpers are named tsql__*; they are no part of the translation's calls.

-- ---- reading values -----------------------------------------------------

-- The class a value of this type has on the embedded engine: 'i' integer,
-- 'n' numeric (integer when whole, else real), 'f' real, 't' text.
CREATE OR REPLACE FUNCTION tsql__kind(t regtype) RETURNS "char"
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE b
    WHEN 'smallint'::regtype THEN 'i' WHEN 'integer'::regtype THEN 'i' WHEN 'bigint'::regtype THEN 'i'
    WHEN 'boolean'::regtype THEN 'i'
    WHEN 'numeric'::regtype THEN 'n'
    WHEN 'real'::regtype THEN 'f' WHEN 'double precision'::regtype THEN 'f'
    ELSE 't' END::"char"
  FROM (SELECT CASE WHEN t IN ('smallint'::regtype, 'integer'::regtype, 'bigint'::regtype, 'numeric'::regtype,
                               'double precision'::regtype, 'text'::regtype)
                    THEN t
                    ELSE coalesce((SELECT nullif(typbasetype, 0)::regtype FROM pg_type WHERE oid = t), t) END AS b) s
$$;

-- The class of a value: NULL, 'i', 'f' or 't' (a whole numeric is 'i').
CREATE OR REPLACE FUNCTION tsql__k(x anyelement) RETURNS "char"
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
  k "char";
  n numeric;
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  k := tsql__kind(pg_typeof(x));
  IF k = 'n' THEN
    n := x::numeric;
    IF n = trunc(n) AND abs(n) <= 9223372036854775807 THEN RETURN 'i'; END IF;
    RETURN 'f';
  END IF;
  RETURN k;
END $$;

-- The value as an integer ('i' values) or as a double ('f' values).
CREATE OR REPLACE FUNCTION tsql__i(x anyelement) RETURNS bigint
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
  IF tsql__k(x) = 'i' THEN RETURN x::numeric::bigint; END IF;
  RETURN NULL;
END $$;

CREATE OR REPLACE FUNCTION tsql__f(x anyelement) RETURNS double precision
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE k "char" := tsql__k(x);
BEGIN
  IF k = 'i' THEN RETURN x::numeric::double precision; END IF;
  IF k = 'f' THEN RETURN x::double precision; END IF;
  RETURN NULL;
END $$;

CREATE OR REPLACE FUNCTION tsql__trim(s text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT btrim(s COLLATE "C", E' \t\r\n') $$;

-- Letters as the TSQL collation folds them (ASCII, Latin-1, Latin
-- Extended-A, Greek, Cyrillic and the full-width forms).
CREATE OR REPLACE FUNCTION tsql__fold(s text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT translate(s COLLATE "C",
    'ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞĀĂĄĆĈĊČĎĐĒĔĖĘĚĜĞĠĢĤĦĨĪĬĮİĲĴĶĹĻĽĿŁŃŅŇŊŌŎŐŒŔŖŘŚŜŞŠŢŤŦŨŪŬŮŰŲŴŶŸŹŻŽΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩЀЁЂЃЄЅІЇЈЉЊЋЌЍЎЏАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ！＂＃＄％＆＇（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［＼］＾＿｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝～',
    'abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþāăąćĉċčďđēĕėęěĝğġģĥħĩīĭįıĳĵķĺļľŀłńņňŋōŏőœŕŗřśŝşšţťŧũūŭůűųŵŷÿźżžαβγδεζηθικλμνξοπρστυφχψωѐёђѓєѕіїјљњћќѝўџабвгдежзийклмнопрстуфхцчшщъыьэюя!"#$%&''()*+,-./0123456789:;<=>?@abcdefghijklmnopqrstuvwxyz[\]^_`abcdefghijklmnopqrstuvwxyz{|}~')
$$;

-- A text as a number (sign, digits, one point, an exponent); NULL when it is
-- none or does not fit a double.
CREATE OR REPLACE FUNCTION tsql__num(s text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  t text := tsql__trim(s);
  m text[];
  n numeric;
BEGIN
  m := regexp_match(t COLLATE "C", '^[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE]([+-]?[0-9]+))?$');
  IF m IS NULL THEN RETURN NULL; END IF;
  IF m[4] IS NOT NULL AND length(ltrim(m[4], '+-0')) > 4 THEN
    IF ltrim(m[1], '0.') = '' OR m[4] COLLATE "C" LIKE '-%' THEN RETURN 0; END IF;
    RETURN NULL;
  END IF;
  n := t::numeric;
  IF abs(n) > 1.7976931348623157e308 THEN RETURN NULL; END IF;
  IF abs(n) < 2.2250738585072014e-308 THEN RETURN 0; END IF;
  RETURN n::double precision;
END $$;

-- A text as a whole number of bigint's range; NULL otherwise.
CREATE OR REPLACE FUNCTION tsql__int_text(s text) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  t text := tsql__trim(s);
  n numeric;
BEGIN
  IF t COLLATE "C" !~ '^[+-]?[0-9]+$' THEN RETURN NULL; END IF;
  IF length(ltrim(ltrim(t, '+-'), '0')) > 19 THEN RETURN NULL; END IF;
  n := t::numeric;
  IF n < -9223372036854775808 OR n > 9223372036854775807 THEN RETURN NULL; END IF;
  RETURN n::bigint;
END $$;

-- C's round(): halves away from zero.
CREATE OR REPLACE FUNCTION tsql__round_half(x double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN x >= 0 THEN floor(x + 0.5::double precision) ELSE -floor(-x + 0.5::double precision) END
$$;

-- A double rounded to scale decimals; the nudge of a few units in the last
-- place undoes the binary error of values written with at most 15 digits.
CREATE OR REPLACE FUNCTION tsql__round(x double precision, scale integer) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT tsql__round_half(x * power(10::double precision, scale) * 1.0000000000000009::double precision)
         / power(10::double precision, scale)
$$;

-- The exact decimal value of a double.
CREATE OR REPLACE FUNCTION tsql__exact(x double precision) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  b bigint := ('x' || encode(float8send(x), 'hex'))::bit(64)::bigint;
  e integer := ((b >> 52) & 2047)::integer;
  m numeric := (b & 4503599627370495)::numeric;
  v numeric;
BEGIN
  IF e = 0 THEN e := 1; ELSE m := m + 4503599627370496; END IF;
  e := e - 1075;
  IF e >= 0 THEN v := m * power(2::numeric, e);
  ELSE v := m * power(5::numeric, -e) * ('1e' || e)::numeric;
  END IF;
  RETURN trim_scale(CASE WHEN b < 0 THEN -v ELSE v END);
END $$;

-- Rounds an exact value to a whole number, halves to even (as printf).
CREATE OR REPLACE FUNCTION tsql__round_even(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN v - floor(v) > 0.5 OR (v - floor(v) = 0.5 AND mod(floor(v), 2) <> 0) THEN floor(v) + 1
              ELSE floor(v) END
$$;

-- printf's %.<p>f of a double.
CREATE OR REPLACE FUNCTION tsql__printf_f(x double precision, p integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v numeric := tsql__exact(x);
  r numeric := tsql__round_even(abs(v) * ('1e' || p)::numeric);
  s text := r::text;
BEGIN
  IF p > 0 THEN
    IF length(s) < p + 1 THEN s := lpad(s, p + 1, '0'); END IF;
    s := left(s, length(s) - p) || '.' || right(s, p);
  END IF;
  RETURN CASE WHEN x < 0 OR (x = 0 AND float8send(x) <> float8send(0::double precision)) THEN '-' ELSE '' END || s;
END $$;

-- printf's %.<p>e (exp) or %.<p>g (not exp) of a double, with the
-- exponent in two digits at least.
CREATE OR REPLACE FUNCTION tsql__printf_eg(x double precision, p integer, exp boolean) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v numeric := abs(tsql__exact(x));
  sig integer := CASE WHEN exp THEN p + 1 WHEN p = 0 THEN 1 ELSE p END;
  d integer := 0;
  r numeric;
  digits text;
  mant text;
  sign text := CASE WHEN x < 0 OR (x = 0 AND float8send(x) <> float8send(0::double precision)) THEN '-' ELSE '' END;
BEGIN
  IF v <> 0 THEN
    d := floor(log(10, v))::integer;
    IF v >= ('1e' || (d + 1))::numeric THEN d := d + 1; END IF;
    IF v < ('1e' || d)::numeric THEN d := d - 1; END IF;
  END IF;
  r := tsql__round_even(v * ('1e' || (sig - 1 - d))::numeric);
  IF r >= ('1e' || sig)::numeric THEN
    d := d + 1;
    r := tsql__round_even(v * ('1e' || (sig - 1 - d))::numeric);
  END IF;
  digits := lpad(r::text, sig, '0');
  IF NOT exp AND d >= -4 AND d < sig THEN
    -- %f with sig - 1 - d decimals, trailing zeros dropped
    IF d >= 0 THEN
      mant := left(digits, d + 1) || '.' || substr(digits, d + 2);
    ELSE
      mant := '0.' || repeat('0', -d - 1) || digits;
    END IF;
    IF position('.' IN mant) > 0 THEN mant := rtrim(rtrim(mant, '0'), '.'); END IF;
    RETURN sign || mant;
  END IF;
  mant := left(digits, 1) || CASE WHEN sig > 1 THEN '.' || substr(digits, 2) ELSE '' END;
  IF NOT exp AND position('.' IN mant) > 0 THEN mant := rtrim(rtrim(mant, '0'), '.'); END IF;
  RETURN sign || mant || 'e' || CASE WHEN d < 0 THEN '-' ELSE '+' END || lpad(abs(d)::text, 2, '0');
END $$;

-- A double's text as the embedded engine writes a real: whole numbers
-- without a point, others in 15 significant digits.
CREATE OR REPLACE FUNCTION tsql__number_text(x double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN x = 0 THEN '0'
              WHEN abs(x) < 1e15 AND x = trunc(x) THEN tsql__printf_f(x, 0)
              ELSE replace(tsql__printf_eg(x, 15, false), 'e', 'E') END
$$;

-- The text of a value as the string functions read it.
CREATE OR REPLACE FUNCTION tsql__text(x anyelement) RETURNS text
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE k "char" := tsql__k(x);
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN RETURN tsql__i(x)::text; END IF;
  IF k = 'f' THEN RETURN tsql__number_text(tsql__f(x)); END IF;
  RETURN x::text;
END $$;

-- A text cut to length characters, or padded to them with blanks.
CREATE OR REPLACE FUNCTION tsql__fit(s text, len bigint, padded boolean) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN len < 0 THEN s
              WHEN char_length(s) > len THEN left(s, len::integer)
              WHEN padded AND char_length(s) < len THEN s || repeat(' ', (len - char_length(s))::integer)
              ELSE s END
$$;

CREATE OR REPLACE FUNCTION tsql__fail(message text, state text) RETURNS void
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  RAISE EXCEPTION USING MESSAGE = message, ERRCODE = state;
END $$;

CREATE OR REPLACE FUNCTION tsql__conversion_failed(v text, type text) RETURNS void
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT tsql__fail('Conversion failed when converting the varchar value ''' || v || ''' to data type ' || type || '.',
                    '22018')
$$;

CREATE OR REPLACE FUNCTION tsql__overflow(type text) RETURNS void
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT tsql__fail('Arithmetic overflow error converting expression to data type ' || type || '.', '22003')
$$;

-- ---- money ----------------------------------------------------------------

-- A double as money's ten-thousandths.
CREATE OR REPLACE FUNCTION tsql__money_units(x double precision) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__round_half(tsql__round(x, 4) * 10000)::bigint $$;

-- A text as money's ten-thousandths (commas allowed); NULL when it is none.
CREATE OR REPLACE FUNCTION tsql__parse_money(s text) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision := tsql__num(replace(tsql__trim(s) COLLATE "C", ',', ''));
BEGIN
  IF v IS NULL OR abs(v) >= 922337203685477 THEN RETURN NULL; END IF;
  RETURN tsql__money_units(v);
END $$;

-- Money's text: style 2 four decimals, else two (style 1 with commas).
CREATE OR REPLACE FUNCTION tsql__format_money(units bigint, style integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  mag numeric := abs(units::numeric);
  frac numeric := mod(mag, 10000);
  whole numeric := trunc(mag / 10000);
  digits text;
  decimals integer := 4;
BEGIN
  IF style <> 2 THEN
    decimals := 2;
    frac := trunc((frac + 50) / 100);
    IF frac = 100 THEN frac := 0; whole := whole + 1; END IF;
  END IF;
  digits := whole::text;
  IF style = 1 THEN digits := reverse(regexp_replace(reverse(digits), '([0-9]{3})(?=[0-9])', '\1,', 'g')); END IF;
  RETURN CASE WHEN units < 0 THEN '-' ELSE '' END || digits || '.' || lpad(frac::text, decimals, '0');
END $$;

-- A double as the embedded engine keeps a decimal: whole values exactly,
-- others in 15 significant digits.
CREATE OR REPLACE FUNCTION tsql__numeric_of(x double precision) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN x = trunc(x) THEN tsql__exact(x) ELSE trim_scale(x::numeric) END
$$;

-- ---- dates ----------------------------------------------------------------

-- Days since 1900-01-01 (day 0).
CREATE OR REPLACE FUNCTION tsql__day_number(d timestamp) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT (d::date - date '1900-01-01')::bigint $$;

CREATE OR REPLACE FUNCTION tsql__canonical(d timestamp) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT to_char(d, 'YYYY-MM-DD HH24:MI:SS') $$;

CREATE OR REPLACE FUNCTION tsql__days_in_month(y integer, m integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT extract(day FROM (make_date(y, m, 1) + interval '1 month' - interval '1 day'))::integer
$$;

-- 'H:MM[:SS[.fff]]': the time of day, or NULL.
CREATE OR REPLACE FUNCTION tsql__time_of_day(s text) RETURNS interval
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE m text[] := regexp_match(s COLLATE "C", '^([0-9]{1,2}):([0-9]{1,2})(:([0-9]{1,2})(\.[0-9]{1,9})?)?$');
BEGIN
  IF m IS NULL OR m[1]::integer >= 24 OR m[2]::integer >= 60 OR coalesce(m[4], '0')::integer >= 60 THEN
    RETURN NULL;
  END IF;
  RETURN make_interval(hours => m[1]::integer, mins => m[2]::integer, secs => coalesce(m[4], '0')::integer);
END $$;

-- A date's text read as SQL Server reads it (style tells whether the day
-- comes before the month): st 0 read, 1 out of range, 2 malformed.
CREATE OR REPLACE FUNCTION tsql__read_date(s text, style integer, OUT st integer, OUT d timestamp)
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  t text := tsql__trim(s);
  m text[];
  y integer; mo integer; dd integer;
  rest text;
  tod interval := interval '0';
BEGIN
  st := 2;
  IF t COLLATE "C" ~ '^[0-9]{0,9}:' THEN
    tod := tsql__time_of_day(t);
    IF tod IS NULL THEN RETURN; END IF;
    st := 0;
    d := timestamp '1900-01-01' + tod;
    RETURN;
  END IF;
  m := regexp_match(t COLLATE "C", '^([0-9]{8})( .*)?$');
  IF m IS NOT NULL THEN
    y := substr(m[1], 1, 4)::integer; mo := substr(m[1], 5, 2)::integer; dd := substr(m[1], 7, 2)::integer;
    rest := coalesce(m[2], '');
  ELSE
    m := regexp_match(t COLLATE "C", '^([0-9]{1,9})([-/.])([0-9]{1,2})\2([0-9]{0,9})(.*)$');
    IF m IS NULL THEN RETURN; END IF;
    rest := m[5];
    IF length(m[1]) = 4 AND length(m[4]) BETWEEN 1 AND 2 THEN
      y := m[1]::integer; mo := m[3]::integer; dd := m[4]::integer;
    ELSIF length(m[1]) > 2 OR length(m[4]) <> 4 THEN
      RETURN;
    ELSE
      y := m[4]::integer;
      IF style IN (3, 4, 5, 103, 104, 105) THEN mo := m[3]::integer; dd := m[1]::integer;
      ELSE mo := m[1]::integer; dd := m[3]::integer; END IF;
    END IF;
  END IF;
  IF rest <> '' THEN
    IF left(rest, 1) NOT IN (' ', 'T') THEN RETURN; END IF;
    tod := tsql__time_of_day(ltrim(substr(rest, 2), ' '));
    IF tod IS NULL THEN RETURN; END IF;
  END IF;
  IF y < 1753 OR y > 9999 OR mo < 1 OR mo > 12 OR dd < 1 OR dd > tsql__days_in_month(y, mo) THEN
    st := 1;
    RETURN;
  END IF;
  st := 0;
  d := make_date(y, mo, dd) + tod;
END $$;

-- The month a name stands for ('Feb', 'february'), 0 for none.
CREATE OR REPLACE FUNCTION tsql__month_of(w text) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT coalesce((SELECT i FROM unnest(ARRAY['january','february','march','april','may','june','july','august',
                                              'september','october','november','december']) WITH ORDINALITY AS n(name, i)
                   WHERE length(w) >= 3 AND length(w) <= length(name)
                     AND (length(w) = 3 OR length(w) = length(name))
                     AND lower(w COLLATE "C") = left(name, length(w)) LIMIT 1), 0)::integer
$$;

-- The forms with the month's name: 'Feb 29 2008', '29 Feb 2008',
-- 'February 29, 2008', each with an optional time of day.
CREATE OR REPLACE FUNCTION tsql__read_named_month(t text, OUT st integer, OUT d timestamp)
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  w text[];
  mo integer; dd integer; y integer;
  day_first boolean;
  tm record;
  tod interval := interval '0';
BEGIN
  st := 2;
  w := regexp_split_to_array(btrim(t COLLATE "C", ' ,'), '[ ,]+');
  IF btrim(t COLLATE "C", ' ,') = '' OR array_length(w, 1) < 3 OR array_length(w, 1) > 4 THEN RETURN; END IF;
  mo := tsql__month_of(w[1]);
  day_first := mo = 0;
  IF day_first THEN mo := tsql__month_of(w[2]); END IF;
  IF mo = 0 OR w[CASE WHEN day_first THEN 1 ELSE 2 END] COLLATE "C" !~ '^[0-9]{1,4}$' OR w[3] COLLATE "C" !~ '^[0-9]{4}$' THEN RETURN; END IF;
  dd := w[CASE WHEN day_first THEN 1 ELSE 2 END]::integer;
  y := w[3]::integer;
  IF array_length(w, 1) = 4 THEN
    tm := tsql__read_date('1900-01-01 ' || w[4], 0);
    IF tm.st <> 0 THEN RETURN; END IF;
    tod := tm.d - timestamp '1900-01-01';
  END IF;
  IF y < 1753 OR dd < 1 OR dd > tsql__days_in_month(y, mo) THEN st := 1; RETURN; END IF;
  st := 0;
  d := make_date(y, mo, dd) + tod;
END $$;

-- ReadDate, then the forms with the month's name.
CREATE OR REPLACE FUNCTION tsql__read_any_date(s text, OUT st integer, OUT d timestamp)
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE r record := tsql__read_date(s, 0);
BEGIN
  IF r.st <> 2 THEN st := r.st; d := r.d; RETURN; END IF;
  r := tsql__read_named_month(tsql__trim(s));
  st := r.st; d := r.d;
END $$;

-- Days after 1900-01-01 to the date, the time of day to the nearest second.
CREATE OR REPLACE FUNCTION tsql__from_serial(serial double precision) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  day double precision := floor(serial);
  secs bigint := tsql__round_half((serial - day) * 86400.0)::bigint;
BEGIN
  IF secs >= 86400 THEN day := day + 1; secs := 0; END IF;
  RETURN timestamp '1900-01-01' + make_interval(days => day::integer, secs => secs);
END $$;

-- The stored form 'YYYY-MM-DD HH:MM:SS[.mmm]'.
CREATE OR REPLACE FUNCTION tsql__is_stored(s text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT s COLLATE "C" ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}(\.[0-9]{3})?$'
$$;

-- A stored date's parts: year, month, day, hour, minute, second, millisecond.
CREATE OR REPLACE FUNCTION tsql__stored_parts(s text) RETURNS integer[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT ARRAY[substr(s, 1, 4)::integer, substr(s, 6, 2)::integer, substr(s, 9, 2)::integer,
               substr(s, 12, 2)::integer, substr(s, 15, 2)::integer, substr(s, 18, 2)::integer,
               CASE WHEN length(s) = 23 THEN substr(s, 21, 3)::integer ELSE 0 END]
$$;

-- A stored date as days after 1900-01-01 with the time as a fraction.
CREATE OR REPLACE FUNCTION tsql__stored_serial(s text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  p integer[] := tsql__stored_parts(s);
  secs double precision := p[4] * 3600.0 + p[5] * 60.0 + p[6] + p[7] / 1000.0;
BEGIN
  RETURN tsql__day_number(make_date(p[1], p[2], p[3])::timestamp)::double precision + secs / 86400.0;
END $$;

-- A date's text in a style (convert's third argument); NULL for a style
-- that has no date form.
CREATE OR REPLACE FUNCTION tsql__format_date(p integer[], style integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  y integer := p[1]; mo integer := p[2]; d integer := p[3];
  h integer := p[4]; mi integer := p[5]; s integer := p[6]; ms integer := p[7];
  mon text;
  century boolean := style >= 100 OR style IN (0, 9, 13, 14);
  yy text;
  h12 text := lpad((CASE WHEN h % 12 = 0 THEN 12 ELSE h % 12 END)::text, 2, ' ');
  ampm text := CASE WHEN h < 12 THEN 'AM' ELSE 'PM' END;
  dd text := lpad(d::text, 2, '0');
  mm text := lpad(mo::text, 2, '0');
  hms text := lpad(h::text, 2, '0') || ':' || lpad(mi::text, 2, '0') || ':' || lpad(s::text, 2, '0');
  msx text := lpad(ms::text, 3, '0');
  ymd text;
BEGIN
  IF mo < 1 OR mo > 12 THEN RETURN NULL; END IF;
  mon := (ARRAY['Jan','Feb','Mar','Apr','May','Jun','Jul','Aug','Sep','Oct','Nov','Dec'])[mo];
  yy := CASE WHEN century THEN lpad(y::text, 4, '0') ELSE lpad((y % 100)::text, 2, '0') END;
  ymd := lpad(y::text, 4, '0') || '-' || mm || '-' || dd;
  CASE style % 100
    WHEN 1 THEN RETURN mm || '/' || dd || '/' || yy;
    WHEN 2 THEN RETURN yy || '.' || mm || '.' || dd;
    WHEN 3 THEN RETURN dd || '/' || mm || '/' || yy;
    WHEN 4 THEN RETURN dd || '.' || mm || '.' || yy;
    WHEN 5 THEN RETURN dd || '-' || mm || '-' || yy;
    WHEN 6 THEN RETURN dd || ' ' || mon || ' ' || yy;
    WHEN 7 THEN RETURN mon || ' ' || dd || ', ' || yy;
    WHEN 10 THEN RETURN mm || '-' || dd || '-' || yy;
    WHEN 11 THEN RETURN yy || '/' || mm || '/' || dd;
    WHEN 12 THEN RETURN yy || mm || dd;
    ELSE NULL;
  END CASE;
  CASE style
    WHEN 0, 100 THEN
      RETURN mon || ' ' || lpad(d::text, 2, ' ') || ' ' || lpad(y::text, 4, '0') || ' ' || h12 || ':' ||
             lpad(mi::text, 2, '0') || ampm;
    WHEN 8, 24, 108 THEN RETURN hms;
    WHEN 9, 109 THEN
      RETURN mon || ' ' || lpad(d::text, 2, ' ') || ' ' || lpad(y::text, 4, '0') || ' ' || h12 || ':' ||
             lpad(mi::text, 2, '0') || ':' || lpad(s::text, 2, '0') || ':' || msx || ampm;
    WHEN 13, 113 THEN RETURN dd || ' ' || mon || ' ' || lpad(y::text, 4, '0') || ' ' || hms || ':' || msx;
    WHEN 14, 114 THEN RETURN hms || ':' || msx;
    WHEN 20, 120 THEN RETURN ymd || ' ' || hms;
    WHEN 21, 25, 121 THEN RETURN ymd || ' ' || hms || '.' || msx;
    WHEN 22 THEN
      RETURN mm || '/' || dd || '/' || lpad((y % 100)::text, 2, '0') || ' ' || h12 || ':' || lpad(mi::text, 2, '0') ||
             ':' || lpad(s::text, 2, '0') || ' ' || ampm;
    WHEN 23 THEN RETURN ymd;
    WHEN 126 THEN RETURN ymd || 'T' || hms || CASE WHEN ms <> 0 THEN '.' || msx ELSE '' END;
    ELSE RETURN NULL;
  END CASE;
END $$;

CREATE OR REPLACE FUNCTION tsql__parts(d timestamp) RETURNS integer[]
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT ARRAY[extract(year FROM d), extract(month FROM d), extract(day FROM d), extract(hour FROM d),
               extract(minute FROM d), floor(extract(second FROM d)), 0]::integer[]
$$;

-- The text of a text value converted to text: a stored date takes the
-- style's form (style -1: a source that is text by its form keeps it).
CREATE OR REPLACE FUNCTION tsql__text_or_date(s text, style integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  out text;
  r record;
BEGIN
  IF style >= 0 AND tsql__is_stored(s) THEN
    out := tsql__format_date(tsql__stored_parts(s), style);
    IF out IS NOT NULL THEN RETURN out; END IF;
  END IF;
  IF style > 0 THEN
    r := tsql__read_date(s, 0);
    IF r.st = 0 THEN RETURN coalesce(tsql__format_date(tsql__parts(r.d), style), tsql__canonical(r.d)); END IF;
  END IF;
  RETURN s;
END $$;

-- The milliseconds a text gives a datetime: its first three decimals of a
-- second, to the nearest 1/300 s; .999 and up is the next second.
CREATE OR REPLACE FUNCTION tsql__stored_with_fraction(d timestamp, s text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  colon integer := length(s) - strpos(reverse(s COLLATE "C"), ':') + 1;
  after text;
  point integer;
  digits text;
  thousandths integer;
  ticks integer;
BEGIN
  IF strpos(s COLLATE "C", ':') = 0 THEN RETURN tsql__canonical(d); END IF;
  after := substr(s, colon);
  point := strpos(after COLLATE "C", '.');
  IF point = 0 THEN RETURN tsql__canonical(d); END IF;
  digits := substr(after, point + 1, 3);
  digits := rpad(regexp_replace(digits COLLATE "C", '[^0-9].*$', ''), 3, '0');
  thousandths := digits::integer;
  ticks := (thousandths * 3 + 5) / 10;
  IF ticks < 300 THEN
    IF (ticks * 1000 + 150) / 300 = 0 THEN RETURN tsql__canonical(d); END IF;
    RETURN tsql__canonical(d) || '.' || lpad(((ticks * 1000 + 150) / 300)::text, 3, '0');
  END IF;
  RETURN tsql__canonical(d + interval '1 second');
END $$;

CREATE OR REPLACE FUNCTION tsql__in_date_range(d timestamp) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT extract(year FROM d) BETWEEN 1753 AND 9999 $$;

-- ---- conversions ----------------------------------------------------------
-- Each function of a value of any type has a text overload and an anyelement
-- overload (a quoted literal takes the text one); both call the function's
-- reader (tsql__*_v) with the value's class k ('i', 'f', 't' or NULL), its
-- integer i, its double f or its text t.

CREATE OR REPLACE FUNCTION tsql__int_type(bits integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE bits WHEN 64 THEN 'bigint' WHEN 16 THEN 'smallint' WHEN 8 THEN 'tinyint' ELSE 'int' END
$$;

-- An integer checked against the range of its type; tinyint and smallint
-- name a whole number that does not fit.
CREATE OR REPLACE FUNCTION tsql__int_range(v bigint, bits integer, exact boolean) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  lo bigint := CASE bits WHEN 8 THEN 0 WHEN 16 THEN -32768 WHEN 32 THEN -2147483648 ELSE -9223372036854775808 END;
  hi bigint := CASE bits WHEN 8 THEN 255 WHEN 16 THEN 32767 WHEN 32 THEN 2147483647 ELSE 9223372036854775807 END;
BEGIN
  IF v < lo OR v > hi THEN
    IF bits IN (8, 16) AND exact THEN
      PERFORM tsql__fail('Arithmetic overflow error for data type ' || tsql__int_type(bits) || ', value = ' || v || '.',
                         '22003');
    END IF;
    PERFORM tsql__overflow(tsql__int_type(bits));
  END IF;
  RETURN v;
END $$;

-- tsql_int(x, bits): convert(int, x) and the integer types' conversions.
CREATE OR REPLACE FUNCTION tsql__int_v(k "char", i bigint, f double precision, t text, bits integer) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v bigint := 0;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN v := i;
  ELSIF k = 'f' THEN
    IF NOT abs(trunc(f)) < 9.2e18 THEN PERFORM tsql__overflow(tsql__int_type(bits)); END IF;
    v := trunc(f)::bigint;
  ELSIF tsql__trim(t) = '' THEN v := 0;
  ELSIF tsql__is_stored(t) THEN  -- a datetime: its day, rounded as SQL Server rounds it
    v := floor(tsql__stored_serial(t) + 0.5)::bigint;
  ELSE
    v := tsql__int_text(t);
    IF v IS NULL THEN PERFORM tsql__conversion_failed(t, tsql__int_type(bits)); END IF;
  END IF;
  RETURN tsql__int_range(v, bits, k = 'i');
END $$;
CREATE OR REPLACE FUNCTION tsql_int(x text, bits integer) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__int_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, bits)
$$;
CREATE OR REPLACE FUNCTION tsql_int(x anyelement, bits integer) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__int_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, bits)
$$;

-- tsql_money(x): convert(money, x).
CREATE OR REPLACE FUNCTION tsql__money_v(k "char", i bigint, f double precision, t text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE u bigint;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN RETURN i::numeric; END IF;
  IF k = 'f' THEN RETURN trim_scale(tsql__money_units(f) / 10000.0); END IF;
  IF tsql__trim(t) = '' THEN RETURN 0; END IF;
  u := tsql__parse_money(t);
  IF u IS NULL THEN PERFORM tsql__conversion_failed(t, 'money'); END IF;
  RETURN trim_scale(u / 10000.0);
END $$;
CREATE OR REPLACE FUNCTION tsql_money(x text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__money_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION tsql_money(x anyelement) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__money_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

-- The row version as convert(money, timestamp) reads it: the counter taken
-- as money's ten-thousandths (the counter's text, or the money text a view
-- delivers, read back).
CREATE OR REPLACE FUNCTION tsql__rv_units(k "char", i bigint, f double precision, t text) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE u bigint;
BEGIN
  IF k = 'i' THEN RETURN i; END IF;
  IF k = 'f' THEN RETURN tsql__round_half(f)::bigint; END IF;
  u := coalesce(tsql__int_text(t), tsql__parse_money(t));
  IF u IS NULL THEN PERFORM tsql__conversion_failed(t, 'money'); END IF;
  RETURN u;
END $$;

CREATE OR REPLACE FUNCTION tsql__money_rv_v(k "char", i bigint, f double precision, t text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN k IS NOT NULL THEN trim_scale(tsql__rv_units(k, i, f, t) / 10000.0) END
$$;
CREATE OR REPLACE FUNCTION tsql_money_rv(x text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__money_rv_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION tsql_money_rv(x anyelement) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__money_rv_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

CREATE OR REPLACE FUNCTION tsql__rowversion_v(k "char", i bigint, f double precision, t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN k IS NOT NULL THEN tsql__format_money(tsql__rv_units(k, i, f, t), 2) END
$$;
CREATE OR REPLACE FUNCTION tsql_rowversion(x text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__rowversion_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION tsql_rowversion(x anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__rowversion_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

-- tsql_money_str(m, length, style, padded): money's text; '*' when it does
-- not fit. tsql_char_money2(m) is (m, 30, 2, 1).
CREATE OR REPLACE FUNCTION tsql__money_str_v(k "char", i bigint, f double precision, t text, len integer,
                                             style integer, padded integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  u bigint;
  s text;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 't' THEN
    u := tsql__parse_money(t);
    IF u IS NULL THEN PERFORM tsql__conversion_failed(t, 'money'); END IF;
  ELSE
    u := tsql__money_units(coalesce(f, i::double precision));
  END IF;
  s := tsql__format_money(u, style);
  IF len >= 0 AND length(s) > len THEN s := '*'; END IF;
  RETURN tsql__fit(s, len, padded <> 0);
END $$;
CREATE OR REPLACE FUNCTION tsql_money_str(x text, len integer, style integer, padded integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__money_str_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, len, style, padded)
$$;
CREATE OR REPLACE FUNCTION tsql_money_str(x anyelement, len integer, style integer, padded integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__money_str_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, len, style, padded)
$$;

CREATE OR REPLACE FUNCTION tsql__char_money2_v(k "char", i bigint, f double precision, t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__money_str_v(k, i, f, t, 30, 2, 1) $$;
CREATE OR REPLACE FUNCTION tsql_char_money2(x text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__char_money2_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION tsql_char_money2(x anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__char_money2_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

-- tsql_str(x, length, style, flags): convert(varchar/char(length), x,
-- style); flags 1 pads to length, 2 national.
CREATE OR REPLACE FUNCTION tsql__str_v(k "char", i bigint, f double precision, t text, len integer, style integer,
                                       flags integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  padded boolean := (flags & 1) <> 0;
  s text;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 't' THEN RETURN tsql__fit(tsql__text_or_date(t, style), len, padded); END IF;
  s := CASE WHEN k = 'i' THEN i::text ELSE tsql__number_text(f) END;
  -- a number that does not fit shows as '*'; in a national text an int is refused
  IF len >= 0 AND length(s) > len THEN
    IF (flags & 2) <> 0 AND k = 'i' THEN
      PERFORM tsql__overflow(CASE WHEN padded THEN 'nchar' ELSE 'nvarchar' END);
    END IF;
    s := '*';
  END IF;
  RETURN tsql__fit(s, len, padded);
END $$;
CREATE OR REPLACE FUNCTION tsql_str(x text, len integer, style integer, flags integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__str_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, len, style, flags)
$$;
CREATE OR REPLACE FUNCTION tsql_str(x anyelement, len integer, style integer, flags integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__str_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, len, style, flags)
$$;

-- tsql_decimal(x, precision, scale[, source type]): convert(decimal(p, s), x).
CREATE OR REPLACE FUNCTION tsql__decimal_v(k "char", i bigint, f double precision, t text, prec integer,
                                           scale integer, source text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v double precision;
  r double precision;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  v := CASE k WHEN 'i' THEN i::double precision WHEN 'f' THEN f ELSE tsql__num(t) END;
  IF v IS NULL THEN PERFORM tsql__fail('Error converting data type varchar to numeric.', '22018'); END IF;
  r := tsql__round(v, scale);
  IF abs(r) >= power(10::double precision, prec - scale) THEN
    PERFORM tsql__fail('Arithmetic overflow error converting ' ||
                       coalesce(source, CASE k WHEN 'i' THEN 'int' WHEN 't' THEN 'varchar' ELSE 'numeric' END) ||
                       ' to data type numeric.', '22003');
  END IF;
  IF scale = 0 THEN RETURN tsql__exact(trunc(r)); END IF;
  RETURN tsql__numeric_of(r);
END $$;
CREATE OR REPLACE FUNCTION tsql_decimal(x text, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__decimal_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, prec, scale, NULL::text)
$$;
CREATE OR REPLACE FUNCTION tsql_decimal(x anyelement, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__decimal_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, prec, scale, NULL::text)
$$;
CREATE OR REPLACE FUNCTION tsql_decimal(x text, prec integer, scale integer, source text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__decimal_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, prec, scale, source)
$$;
CREATE OR REPLACE FUNCTION tsql_decimal(x anyelement, prec integer, scale integer, source text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__decimal_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, prec, scale, source)
$$;

-- tsql_float(x): convert(float, x); a datetime gives its days after 1900-01-01.
CREATE OR REPLACE FUNCTION tsql__float_v(k "char", i bigint, f double precision, t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN RETURN i; END IF;
  IF k = 'f' THEN RETURN f; END IF;
  IF tsql__is_stored(t) THEN RETURN tsql__stored_serial(t); END IF;
  IF tsql__trim(t) = '' THEN RETURN 0; END IF;
  v := tsql__num(t);
  IF v IS NULL THEN PERFORM tsql__conversion_failed(t, 'float'); END IF;
  RETURN v;
END $$;
CREATE OR REPLACE FUNCTION tsql_float(x text) RETURNS double precision
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__float_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION tsql_float(x anyelement) RETURNS double precision
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__float_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

-- tsql_bit(x): convert(bit, x); 'true' and 'false' are words for 1 and 0.
CREATE OR REPLACE FUNCTION tsql__bit_v(k "char", i bigint, f double precision, t text) RETURNS integer
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN RETURN CASE WHEN i <> 0 THEN 1 ELSE 0 END; END IF;
  IF k = 'f' THEN RETURN CASE WHEN f <> 0 THEN 1 ELSE 0 END; END IF;
  IF lower(tsql__trim(t)) = 'true' THEN RETURN 1; END IF;
  IF lower(tsql__trim(t)) = 'false' THEN RETURN 0; END IF;
  v := CASE WHEN tsql__trim(t) = '' THEN 0 ELSE tsql__num(t) END;
  IF v IS NULL THEN PERFORM tsql__conversion_failed(t, 'bit'); END IF;
  RETURN CASE WHEN v <> 0 THEN 1 ELSE 0 END;
END $$;
CREATE OR REPLACE FUNCTION tsql_bit(x text) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__bit_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION tsql_bit(x anyelement) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__bit_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

-- A value as a date: text read (blank: 1900-01-01), numbers as days after
-- 1900-01-01. Raises SQL Server's error when it is none.
CREATE OR REPLACE FUNCTION tsql__date_of(k "char", i bigint, f double precision, t text, style integer,
                                         as_date boolean) RETURNS timestamp
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  serial double precision;
  r record;
BEGIN
  IF k IN ('i', 'f') THEN
    serial := coalesce(f, i::double precision);
    IF NOT (serial >= -53690.0 AND serial < 2958464.0) THEN PERFORM tsql__overflow('datetime'); END IF;
    RETURN tsql__from_serial(serial);
  END IF;
  IF tsql__trim(t) = '' THEN RETURN timestamp '1900-01-01'; END IF;
  r := tsql__read_date(t, style);
  IF r.st = 0 THEN RETURN r.d; END IF;
  IF r.st = 1 AND NOT as_date THEN
    PERFORM tsql__fail('The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.',
                       '22018');
  END IF;
  PERFORM tsql__fail('Conversion failed when converting date and/or time from character string.', '22018');
END $$;

-- tsql_datetime(x[, style]) / tsql_date(x, style): convert(datetime/date, x, style).
CREATE OR REPLACE FUNCTION tsql__datetime_v(k "char", i bigint, f double precision, t text, style integer,
                                            as_date boolean) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE d timestamp;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  d := tsql__date_of(k, i, f, t, style, as_date);
  IF as_date THEN RETURN tsql__canonical(date_trunc('day', d)); END IF;
  IF k <> 't' THEN RETURN tsql__canonical(d); END IF;
  RETURN tsql__stored_with_fraction(d, t);
END $$;
CREATE OR REPLACE FUNCTION tsql_datetime(x text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datetime_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, 0, false)
$$;
CREATE OR REPLACE FUNCTION tsql_datetime(x anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datetime_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, 0, false)
$$;
CREATE OR REPLACE FUNCTION tsql_datetime(x text, style integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datetime_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, style, false)
$$;
CREATE OR REPLACE FUNCTION tsql_datetime(x anyelement, style integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datetime_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, style, false)
$$;
CREATE OR REPLACE FUNCTION tsql_date(x text, style integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datetime_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, style, true)
$$;
CREATE OR REPLACE FUNCTION tsql_date(x anyelement, style integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datetime_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, style, true)
$$;

-- tsql_blank(column): what '' becomes when compared with the column's value.
CREATE OR REPLACE FUNCTION tsql_blank(x text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN x IS NOT NULL THEN '' END $$;
CREATE OR REPLACE FUNCTION tsql_blank(x anyelement) RETURNS anyelement
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF x IS NULL THEN RETURN NULL; END IF;
  RETURN 0;
END $$;

-- tsql_divisor(x): the right operand of / and %, which must not be zero.
CREATE OR REPLACE FUNCTION tsql_divisor(x text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF tsql__num(x) = 0 THEN PERFORM tsql__fail('Divide by zero error encountered.', '22012'); END IF;
  RETURN x;
END $$;
CREATE OR REPLACE FUNCTION tsql_divisor(x anyelement) RETURNS anyelement
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF x IS NOT NULL AND tsql__k(x) IN ('i', 'f') AND tsql__f(x) = 0 THEN
    PERFORM tsql__fail('Divide by zero error encountered.', '22012');
  END IF;
  RETURN x;
END $$;

-- ---- arithmetic -------------------------------------------------------------

-- Two ints give an int (a sum past its range overflows); a bigint operand
-- makes the sum a bigint.
CREATE OR REPLACE FUNCTION tsql__add_integers(x bigint, y bigint) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE s numeric := x::numeric + y;
BEGIN
  IF s < -9223372036854775808 OR s > 9223372036854775807 THEN PERFORM tsql__overflow('bigint'); END IF;
  IF x BETWEEN -2147483648 AND 2147483647 AND y BETWEEN -2147483648 AND 2147483647
     AND s NOT BETWEEN -2147483648 AND 2147483647 THEN
    PERFORM tsql__overflow('int');
  END IF;
  RETURN s::bigint;
END $$;

-- tsql_add(a, b): T-SQL's "+" where the translation could not tell the
-- operand types: two texts are joined, anything else is added (a text
-- converted to the other operand's number type).
CREATE OR REPLACE FUNCTION tsql__add_v(ka "char", ia bigint, fa double precision, ta text,
                                       kb "char", ib bigint, fb double precision, tb text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v bigint;
  x double precision;
  y double precision;
BEGIN
  IF ka IS NULL OR kb IS NULL THEN RETURN NULL; END IF;
  IF ka = 'i' AND kb = 'i' THEN RETURN tsql__add_integers(ia, ib); END IF;
  IF (ka = 't' AND kb = 'i') OR (ka = 'i' AND kb = 't') THEN
    v := CASE WHEN tsql__trim(coalesce(ta, tb)) = '' THEN 0 ELSE tsql__int_text(coalesce(ta, tb)) END;
    IF v IS NULL THEN PERFORM tsql__conversion_failed(coalesce(ta, tb), 'int'); END IF;
    RETURN tsql__add_integers(v, coalesce(ia, ib));
  END IF;
  x := CASE ka WHEN 'i' THEN ia WHEN 'f' THEN fa ELSE CASE WHEN tsql__trim(ta) = '' THEN 0 ELSE tsql__num(ta) END END;
  IF x IS NULL THEN PERFORM tsql__conversion_failed(ta, 'numeric'); END IF;
  y := CASE kb WHEN 'i' THEN ib WHEN 'f' THEN fb ELSE CASE WHEN tsql__trim(tb) = '' THEN 0 ELSE tsql__num(tb) END END;
  IF y IS NULL THEN PERFORM tsql__conversion_failed(tb, 'numeric'); END IF;
  IF ka <> 'f' AND kb <> 'f' AND x = trunc(x) AND y = trunc(y) AND abs(x) < 9e15 AND abs(y) < 9e15 THEN
    RETURN x::bigint + y::bigint;
  END IF;
  RETURN tsql__numeric_of(x + y);
END $$;

CREATE OR REPLACE FUNCTION tsql_add(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a || b $$;
CREATE OR REPLACE FUNCTION tsql_add(a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
  IF a IS NULL OR b IS NULL THEN RETURN NULL; END IF;
  IF tsql__k(a) = 'i' AND tsql__k(b) = 'i' THEN RETURN tsql__add_integers(tsql__i(a), tsql__i(b)); END IF;
  IF tsql__kind(pg_typeof(a)) = 'f' THEN RETURN tsql__f(a) + tsql__f(b); END IF;
  RETURN a::numeric + b::numeric;
END $$;
CREATE OR REPLACE FUNCTION tsql_add(a anyelement, b text) RETURNS anyelement
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
  IF tsql__kind(pg_typeof(a)) = 'f' THEN
    RETURN tsql__add_v(tsql__k(a), NULL, tsql__f(a), NULL, CASE WHEN b IS NOT NULL THEN 't' END::"char", NULL, NULL, b)::double precision;
  END IF;
  RETURN tsql__add_v(tsql__k(a), tsql__i(a), tsql__f(a), NULL, CASE WHEN b IS NOT NULL THEN 't' END::"char", NULL, NULL, b);
END $$;
CREATE OR REPLACE FUNCTION tsql_add(a text, b anyelement) RETURNS anyelement
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_add(b, a) $$;

-- A number, or text that is one; else SQL Server's error for numeric.
CREATE OR REPLACE FUNCTION tsql__number(k "char", i bigint, f double precision, t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision := CASE k WHEN 'i' THEN i::double precision WHEN 'f' THEN f ELSE tsql__num(t) END;
BEGIN
  IF v IS NULL THEN PERFORM tsql__fail('Error converting data type varchar to numeric.', '22018'); END IF;
  RETURN v;
END $$;

-- tsql_mod(a, b): the remainder takes the dividend's sign.
CREATE OR REPLACE FUNCTION tsql__mod_v(ka "char", ia bigint, fa double precision, ta text,
                                       kb "char", ib bigint, fb double precision, tb text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  x double precision;
  y double precision;
  r double precision;
BEGIN
  IF ka IS NULL OR kb IS NULL THEN RETURN NULL; END IF;
  IF ka = 'i' AND kb = 'i' THEN
    IF ib = 0 THEN PERFORM tsql__fail('Divide by zero error encountered.', '22012'); END IF;
    RETURN CASE WHEN ib = -1 THEN 0 ELSE ia % ib END;
  END IF;
  x := tsql__number(ka, ia, fa, ta);
  y := tsql__number(kb, ib, fb, tb);
  IF y = 0 THEN PERFORM tsql__fail('Divide by zero error encountered.', '22012'); END IF;
  r := (tsql__exact(x) % tsql__exact(y))::double precision;
  IF ka <> 'f' AND kb <> 'f' AND x = trunc(x) AND y = trunc(y) AND abs(x) < 9e15 AND abs(y) < 9e15 THEN
    RETURN trunc(r)::bigint;
  END IF;
  -- both operands have at most 15 digits: so has the remainder
  IF abs(r) < 1e15 THEN RETURN tsql__number_text(r)::numeric; END IF;
  RETURN tsql__numeric_of(r);
END $$;

-- tsql_numeric(x, precision, scale): a value as decimal(p, s).
CREATE OR REPLACE FUNCTION tsql__decimal_result(v double precision, prec integer, scale integer) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE r double precision := tsql__round(v, scale);
BEGIN
  IF NOT abs(r) < power(10::double precision, prec - scale) THEN
    PERFORM tsql__fail('Arithmetic overflow error converting expression to data type numeric.', '22003');
  END IF;
  RETURN tsql__numeric_of(r);
END $$;

CREATE OR REPLACE FUNCTION tsql__numeric_v(k "char", i bigint, f double precision, t text, prec integer,
                                           scale integer) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' AND scale >= 0 THEN  -- an integer keeps all its digits
    IF prec - scale < 19 AND abs(i::numeric) >= power(10::numeric, prec - scale) THEN
      PERFORM tsql__fail('Arithmetic overflow error converting expression to data type numeric.', '22003');
    END IF;
    RETURN i;
  END IF;
  RETURN tsql__decimal_result(tsql__number(k, i, f, t), prec, scale);
END $$;
CREATE OR REPLACE FUNCTION tsql_numeric(x text, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, prec, scale)
$$;
CREATE OR REPLACE FUNCTION tsql_numeric(x anyelement, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, prec, scale)
$$;

-- tsql_numeric_div(a, b, precision, scale): the quotient cut (not rounded)
-- to scale decimals, as T-SQL's decimal division cuts it.
CREATE OR REPLACE FUNCTION tsql__numeric_div_v(ka "char", ia bigint, fa double precision, ta text,
                                               kb "char", ib bigint, fb double precision, tb text,
                                               prec integer, scale integer) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  x double precision;
  y double precision;
  q double precision;
  factor double precision := power(10::double precision, scale);
BEGIN
  IF ka IS NULL OR kb IS NULL THEN RETURN NULL; END IF;
  x := tsql__number(ka, ia, fa, ta);
  y := tsql__number(kb, ib, fb, tb);
  IF y = 0 THEN PERFORM tsql__fail('Divide by zero error encountered.', '22012'); END IF;
  q := x / y;
  q := sign(q) * trunc(abs(q) * factor * 1.0000000000000009::double precision) / factor;
  RETURN tsql__decimal_result(q, prec, scale);
END $$;

-- A number's text fitted to its target: one too long for it is refused.
CREATE OR REPLACE FUNCTION tsql__fitted(s text, len integer, flags integer, source text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF len >= 0 AND char_length(s) > len THEN
    PERFORM tsql__fail('Arithmetic overflow error converting ' || source || ' to data type ' ||
                       CASE WHEN (flags & 2) <> 0 THEN 'n' ELSE '' END ||
                       CASE WHEN (flags & 1) <> 0 THEN 'char.' ELSE 'varchar.' END, '22003');
  END IF;
  RETURN tsql__fit(s, len, (flags & 1) <> 0);
END $$;

-- tsql_numeric_str(x, scale, length, flags): a decimal's text.
CREATE OR REPLACE FUNCTION tsql__numeric_str_v(k "char", i bigint, f double precision, t text, scale integer,
                                               len integer, flags integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v double precision;
  s text;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  v := tsql__number(k, i, f, t);
  s := tsql__printf_f(CASE WHEN abs(v) < 1e17 THEN tsql__round(v, scale) ELSE v END, scale);
  IF s COLLATE "C" LIKE '-%' AND ltrim(s, '-0.') = '' THEN s := substr(s, 2); END IF;  -- no "-0.00"
  RETURN tsql__fitted(s, len, flags, 'numeric');
END $$;
CREATE OR REPLACE FUNCTION tsql_numeric_str(x text, scale integer, len integer, flags integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_str_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, scale, len, flags)
$$;
CREATE OR REPLACE FUNCTION tsql_numeric_str(x anyelement, scale integer, len integer, flags integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_str_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, scale, len, flags)
$$;

-- tsql_float_str(x, length, style, flags): a float's text in convert's style.
CREATE OR REPLACE FUNCTION tsql__float_str_v(k "char", i bigint, f double precision, t text, len integer,
                                             style integer, flags integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v double precision;
  s text;
  e integer;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  v := tsql__number(k, i, f, t);
  s := CASE style WHEN 1 THEN tsql__printf_eg(v, 7, true) WHEN 2 THEN tsql__printf_eg(v, 15, true)
                  WHEN 3 THEN tsql__printf_eg(v, 17, false) ELSE tsql__printf_eg(v, 6, false) END;
  e := strpos(s COLLATE "C", 'e');
  IF e > 0 AND length(s) - (e + 1) < 3 THEN  -- e+06 -> e+006
    s := left(s, e + 1) || lpad(substr(s, e + 2), 3, '0');
  END IF;
  RETURN tsql__fitted(s, len, flags, 'float');
END $$;
CREATE OR REPLACE FUNCTION tsql_float_str(x text, len integer, style integer, flags integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__float_str_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, len, style, flags)
$$;
CREATE OR REPLACE FUNCTION tsql_float_str(x anyelement, len integer, style integer, flags integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__float_str_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, len, style, flags)
$$;
CREATE OR REPLACE FUNCTION tsql_mod(a text, b text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__mod_v(CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b)
$$;

CREATE OR REPLACE FUNCTION tsql_mod(a anyelement, b text) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__mod_v(tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b)
$$;

CREATE OR REPLACE FUNCTION tsql_mod(a text, b anyelement) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__mod_v(CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END)
$$;

CREATE OR REPLACE FUNCTION tsql_mod(a anycompatible, b anycompatible) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__mod_v(tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END)
$$;

CREATE OR REPLACE FUNCTION tsql_numeric_div(a text, b text, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_div_v(CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b, prec, scale)
$$;

CREATE OR REPLACE FUNCTION tsql_numeric_div(a anyelement, b text, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_div_v(tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b, prec, scale)
$$;

CREATE OR REPLACE FUNCTION tsql_numeric_div(a text, b anyelement, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_div_v(CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END, prec, scale)
$$;

CREATE OR REPLACE FUNCTION tsql_numeric_div(a anycompatible, b anycompatible, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__numeric_div_v(tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END, prec, scale)
$$;

-- ---- strings ----------------------------------------------------------------

-- len(x): characters without the trailing blanks.
CREATE OR REPLACE FUNCTION len(x text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT char_length(rtrim(x COLLATE "C", ' '))::bigint $$;
CREATE OR REPLACE FUNCTION len(x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT len(tsql__text(x)) $$;

-- charindex(find, text[, start]): 1-based position, 0 when absent; compares
-- without regard to case, as the collation does.
CREATE OR REPLACE FUNCTION tsql__charindex(find text, s text, start bigint) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  needle text := tsql__fold(find);
  hay text := tsql__fold(s);
  skip integer := CASE WHEN start > 1 THEN least(start - 1, 2147483647)::integer ELSE 0 END;
  p integer;
BEGIN
  IF find IS NULL OR s IS NULL OR start IS NULL THEN RETURN NULL; END IF;
  IF needle = '' OR skip > char_length(hay) THEN RETURN 0; END IF;
  p := strpos(substr(hay, skip + 1) COLLATE "C", needle COLLATE "C");
  RETURN CASE WHEN p = 0 THEN 0 ELSE p + skip END;
END $$;
CREATE OR REPLACE FUNCTION charindex(find text, s text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__charindex(find, s, 1) $$;
CREATE OR REPLACE FUNCTION charindex(find text, s text, start bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__charindex(find, s, start) $$;
CREATE OR REPLACE FUNCTION charindex(find anyelement, s text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__charindex(tsql__text(find), s, 1) $$;
CREATE OR REPLACE FUNCTION charindex(find text, s anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__charindex(find, tsql__text(s), 1) $$;
CREATE OR REPLACE FUNCTION charindex(find anyelement, s text, start bigint) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__charindex(tsql__text(find), s, start) $$;
CREATE OR REPLACE FUNCTION charindex(find text, s anyelement, start bigint) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__charindex(find, tsql__text(s), start) $$;

-- tsql_left(text, n) / tsql_right(text, n), counted in characters.
CREATE OR REPLACE FUNCTION tsql__left_right(s text, n bigint, right_side boolean) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
  IF s IS NULL OR n IS NULL THEN RETURN NULL; END IF;
  IF n < 0 THEN
    RAISE EXCEPTION 'Invalid length parameter passed to the % function.', CASE WHEN right_side THEN 'right' ELSE 'left' END;
  END IF;
  IF right_side THEN RETURN right(s, least(n, 2147483647)::integer - 0) ; END IF;
  RETURN left(s, least(n, 2147483647)::integer);
END $$;
CREATE OR REPLACE FUNCTION tsql_left(x text, n bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__left_right(x, n, false) $$;
CREATE OR REPLACE FUNCTION tsql_left(x anyelement, n bigint) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__left_right(tsql__text(x), n, false) $$;
CREATE OR REPLACE FUNCTION tsql_right(x text, n bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__left_right(x, n, true) $$;
CREATE OR REPLACE FUNCTION tsql_right(x anyelement, n bigint) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__left_right(tsql__text(x), n, true) $$;

-- replicate(x, n) / space(n): NULL for a negative count.
CREATE OR REPLACE FUNCTION replicate(x text, n bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN n >= 0 THEN repeat(x, least(n, 2147483647)::integer) END $$;
CREATE OR REPLACE FUNCTION replicate(x anyelement, n bigint) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT replicate(tsql__text(x), n) $$;
CREATE OR REPLACE FUNCTION space(n bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT replicate(' '::text, n) $$;

-- isnumeric(x): 1 when the text converts to any number type, money included.
CREATE OR REPLACE FUNCTION isnumeric(x text) RETURNS integer
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE t text := tsql__trim(x);
BEGIN
  IF t IS NULL OR t = '' THEN RETURN 0; END IF;
  -- as money: a sign and a currency symbol in either order, then digits with
  -- commas and one point, any of them possibly absent
  IF t COLLATE "C" ~ '^([+-]?[$£¥€]?|[$£¥€][+-])([0-9,]*(\.[0-9]*)?)$' THEN RETURN 1; END IF;
  -- as float: an exponent written e or d
  RETURN CASE WHEN tsql__num(translate(t, 'dD', 'ee')) IS NOT NULL THEN 1 ELSE 0 END;
END $$;
CREATE OR REPLACE FUNCTION isnumeric(x anyelement) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT CASE WHEN x IS NULL THEN 0 WHEN tsql__k(x) = 't' THEN isnumeric(x::text) ELSE 1 END $$;

-- tsql_fixed_length(x, n): the datalength of a value of a fixed-size type.
CREATE OR REPLACE FUNCTION tsql_fixed_length(x text, n integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN x IS NOT NULL THEN n END $$;
CREATE OR REPLACE FUNCTION tsql_fixed_length(x anyelement, n integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN x IS NOT NULL THEN n END $$;

-- tsql_national_length(x): the datalength of Unicode text, two bytes a
-- UTF-16 unit.
CREATE OR REPLACE FUNCTION tsql_national_length(x text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT 2 * char_length(x) + 2 * char_length(regexp_replace(x COLLATE "C", '[^\U00010000-\U0010FFFF]', '', 'g'))
$$;
CREATE OR REPLACE FUNCTION tsql_national_length(x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_national_length(tsql__text(x)) $$;

-- datalength(x): an ASCII character one byte, another two (four beyond the
-- BMP); an int 4 bytes, a bigint and a float 8.
CREATE OR REPLACE FUNCTION datalength(x text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT char_length(x) + char_length(regexp_replace(x COLLATE "C", '[\x01-\x7F]', '', 'g'))
         + 2 * char_length(regexp_replace(x COLLATE "C", '[^\U00010000-\U0010FFFF]', '', 'g'))
$$;
CREATE OR REPLACE FUNCTION datalength(x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE tsql__k(x) WHEN 'i' THEN CASE WHEN tsql__i(x) BETWEEN -2147483648 AND 2147483647 THEN 4 ELSE 8 END
                         WHEN 'f' THEN 8 WHEN 't' THEN datalength(x::text) END
$$;

-- ---- date functions ---------------------------------------------------------

-- A datepart's name as its canonical word; NULL for an unknown one.
CREATE OR REPLACE FUNCTION tsql__part(name text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE lower(name COLLATE "C")
    WHEN 'year' THEN 'year' WHEN 'yy' THEN 'year' WHEN 'yyyy' THEN 'year'
    WHEN 'quarter' THEN 'quarter' WHEN 'qq' THEN 'quarter' WHEN 'q' THEN 'quarter'
    WHEN 'month' THEN 'month' WHEN 'mm' THEN 'month' WHEN 'm' THEN 'month'
    WHEN 'dayofyear' THEN 'dayofyear' WHEN 'dy' THEN 'dayofyear' WHEN 'y' THEN 'dayofyear'
    WHEN 'day' THEN 'day' WHEN 'dd' THEN 'day' WHEN 'd' THEN 'day'
    WHEN 'week' THEN 'week' WHEN 'wk' THEN 'week' WHEN 'ww' THEN 'week'
    WHEN 'weekday' THEN 'weekday' WHEN 'dw' THEN 'weekday' WHEN 'w' THEN 'weekday'
    WHEN 'hour' THEN 'hour' WHEN 'hh' THEN 'hour'
    WHEN 'minute' THEN 'minute' WHEN 'mi' THEN 'minute' WHEN 'n' THEN 'minute'
    WHEN 'second' THEN 'second' WHEN 'ss' THEN 'second' WHEN 's' THEN 'second' END
$$;

CREATE OR REPLACE FUNCTION tsql__part_of(name text, fn text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE p text := tsql__part(name);
BEGIN
  IF p IS NULL THEN RAISE EXCEPTION 'Invalid parameter 1 specified for %.', fn; END IF;
  RETURN p;
END $$;

-- 1 = Sunday, as SQL Server's default DATEFIRST 7.
CREATE OR REPLACE FUNCTION tsql__weekday(d timestamp) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT extract(dow FROM d)::integer + 1 $$;

CREATE OR REPLACE FUNCTION tsql__part_value(part text, d timestamp) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE part
    WHEN 'year' THEN extract(year FROM d)
    WHEN 'quarter' THEN extract(quarter FROM d)
    WHEN 'month' THEN extract(month FROM d)
    WHEN 'dayofyear' THEN extract(doy FROM d)
    WHEN 'day' THEN extract(day FROM d)
    WHEN 'week' THEN (extract(doy FROM d)::integer - 1 + extract(dow FROM date_trunc('year', d))::integer) / 7 + 1
    WHEN 'weekday' THEN tsql__weekday(d)
    WHEN 'hour' THEN extract(hour FROM d)
    WHEN 'minute' THEN extract(minute FROM d)
    WHEN 'second' THEN floor(extract(second FROM d)) END::bigint
$$;

-- tsql_datepart(part, d), tsql_datename(part, d)
CREATE OR REPLACE FUNCTION tsql__datepart_v(k "char", i bigint, f double precision, t text, part text) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE p text;
BEGIN
  IF k IS NULL OR part IS NULL THEN RETURN NULL; END IF;
  p := tsql__part_of(part, 'datepart');
  RETURN tsql__part_value(p, tsql__date_of(k, i, f, t, 0, false));
END $$;

CREATE OR REPLACE FUNCTION tsql__datename_v(k "char", i bigint, f double precision, t text, part text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  p text;
  d timestamp;
BEGIN
  IF k IS NULL OR part IS NULL THEN RETURN NULL; END IF;
  p := tsql__part_of(part, 'datename');
  d := tsql__date_of(k, i, f, t, 0, false);
  IF p = 'month' THEN
    RETURN (ARRAY['January','February','March','April','May','June','July','August','September','October',
                  'November','December'])[extract(month FROM d)::integer];
  END IF;
  IF p = 'weekday' THEN
    RETURN (ARRAY['Sunday','Monday','Tuesday','Wednesday','Thursday','Friday','Saturday'])[tsql__weekday(d)];
  END IF;
  RETURN tsql__part_value(p, d)::text;
END $$;

CREATE OR REPLACE FUNCTION tsql_datepart(part text, x text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datepart_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, part) $$;
CREATE OR REPLACE FUNCTION tsql_datepart(part text, x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datepart_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, part) $$;
CREATE OR REPLACE FUNCTION tsql_datename(part text, x text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datename_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, part) $$;
CREATE OR REPLACE FUNCTION tsql_datename(part text, x anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datename_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, part) $$;

-- year(d), month(d), day(d)
CREATE OR REPLACE FUNCTION tsql__year_v(k "char", i bigint, f double precision, t text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN k IS NOT NULL THEN tsql__part_value('year', tsql__date_of(k, i, f, t, 0, false)) END $$;
CREATE OR REPLACE FUNCTION tsql__month_v(k "char", i bigint, f double precision, t text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN k IS NOT NULL THEN tsql__part_value('month', tsql__date_of(k, i, f, t, 0, false)) END $$;
CREATE OR REPLACE FUNCTION tsql__day_v(k "char", i bigint, f double precision, t text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN k IS NOT NULL THEN tsql__part_value('day', tsql__date_of(k, i, f, t, 0, false)) END $$;
CREATE OR REPLACE FUNCTION year(x text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__year_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION year(x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__year_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;
CREATE OR REPLACE FUNCTION month(x text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__month_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION month(x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__month_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;
CREATE OR REPLACE FUNCTION day(x text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__day_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x)
$$;
CREATE OR REPLACE FUNCTION day(x anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__day_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END)
$$;

-- tsql_dateadd(part, n, d): n parts later; the day of month is kept where
-- the month has it.
CREATE OR REPLACE FUNCTION tsql__dateadd_v(k "char", i bigint, f double precision, t text, part text,
                                           n double precision) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  p text;
  d timestamp;
  whole bigint;
  secs numeric;
  days numeric;
BEGIN
  IF k IS NULL OR part IS NULL OR n IS NULL THEN RETURN NULL; END IF;
  p := tsql__part_of(part, 'dateadd');
  -- the number is an int: a larger one overflows before any date is computed
  IF NOT (n > -2147483649.0 AND n < 2147483648.0) THEN PERFORM tsql__overflow('int'); END IF;
  whole := trunc(n)::bigint;
  IF whole < -2147483648 OR whole > 2147483647 THEN PERFORM tsql__overflow('int'); END IF;
  d := tsql__date_of(k, i, f, t, 0, false);
  IF p IN ('year', 'quarter', 'month') THEN
    whole := whole * CASE p WHEN 'year' THEN 12 WHEN 'quarter' THEN 3 ELSE 1 END
             + extract(year FROM d)::bigint * 12 + extract(month FROM d)::bigint - 1;
    IF whole < 1753 * 12 OR whole > 9999 * 12 + 11 THEN
      PERFORM tsql__fail('Adding a value to a ''datetime'' column caused an overflow.', '22003');
    END IF;
    RETURN tsql__canonical(make_date((whole / 12)::integer, (whole % 12)::integer + 1, 1)
                           + make_interval(days => least(extract(day FROM d)::integer,
                                                         tsql__days_in_month((whole / 12)::integer,
                                                                             (whole % 12)::integer + 1)) - 1)
                           + (d - date_trunc('day', d)));
  END IF;
  secs := tsql__day_number(d) * 86400::numeric + extract(epoch FROM (d - date_trunc('day', d)))
          + whole::numeric * CASE p WHEN 'hour' THEN 3600 WHEN 'minute' THEN 60 WHEN 'second' THEN 1
                                    WHEN 'week' THEN 604800 ELSE 86400 END;
  days := floor(secs / 86400);
  IF days < -53690 OR days > 2958463 THEN
    PERFORM tsql__fail('Adding a value to a ''datetime'' column caused an overflow.', '22003');
  END IF;
  RETURN tsql__canonical(timestamp '1900-01-01' + make_interval(days => days::integer, secs => secs - days * 86400));
END $$;
CREATE OR REPLACE FUNCTION tsql_dateadd(part text, n double precision, d text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__dateadd_v(CASE WHEN d IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, d, part, n) $$;
CREATE OR REPLACE FUNCTION tsql_dateadd(part text, n double precision, d anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__dateadd_v(tsql__k(d), tsql__i(d), tsql__f(d), CASE WHEN tsql__k(d) = 't' THEN d::text END, part, n) $$;

-- tsql_datediff(part, a, b): the boundaries of the part crossed from a to b.
CREATE OR REPLACE FUNCTION tsql__datediff_v(part text, ka "char", ia bigint, fa double precision, ta text,
                                            kb "char", ib bigint, fb double precision, tb text) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  p text;
  a timestamp;
  b timestamp;
  da bigint;
  db bigint;
  sa numeric;
  sb numeric;
  r bigint;
BEGIN
  IF part IS NULL OR ka IS NULL OR kb IS NULL THEN RETURN NULL; END IF;
  p := tsql__part_of(part, 'datediff');
  a := tsql__date_of(ka, ia, fa, ta, 0, false);
  b := tsql__date_of(kb, ib, fb, tb, 0, false);
  da := tsql__day_number(a); db := tsql__day_number(b);
  sa := da * 86400::numeric + extract(epoch FROM (a - date_trunc('day', a)));
  sb := db * 86400::numeric + extract(epoch FROM (b - date_trunc('day', b)));
  r := CASE p
    WHEN 'year' THEN extract(year FROM b) - extract(year FROM a)
    WHEN 'quarter' THEN (extract(year FROM b) * 4 + extract(quarter FROM b)) - (extract(year FROM a) * 4 + extract(quarter FROM a))
    WHEN 'month' THEN (extract(year FROM b) * 12 + extract(month FROM b)) - (extract(year FROM a) * 12 + extract(month FROM a))
    WHEN 'week' THEN floor((db + 1) / 7.0) - floor((da + 1) / 7.0)
    WHEN 'hour' THEN floor(sb / 3600) - floor(sa / 3600)
    WHEN 'minute' THEN floor(sb / 60) - floor(sa / 60)
    WHEN 'second' THEN floor(sb) - floor(sa)
    ELSE db - da END;
  IF r < -2147483648 OR r > 2147483647 THEN
    PERFORM tsql__fail('The datediff function resulted in an overflow. The number of dateparts separating two '
                       'date/time instances is too large. Try to use datediff with a less precise datepart.', '22003');
  END IF;
  RETURN r;
END $$;

-- tsql_date_add(d, n, sign): d + n days (sign 1) or d - n (sign -1); a
-- date operand counts as its days after 1900-01-01.
CREATE OR REPLACE FUNCTION tsql__serial(k "char", i bigint, f double precision, t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE r record;
BEGIN
  IF k IN ('i', 'f') THEN RETURN coalesce(f, i::double precision); END IF;
  IF tsql__trim(t) = '' THEN RETURN 0; END IF;
  r := tsql__read_any_date(t);
  IF r.st <> 0 THEN
    IF tsql__num(t) IS NULL THEN
      PERFORM tsql__fail('Conversion failed when converting date and/or time from character string.', '22018');
    END IF;
    RETURN tsql__num(t);
  END IF;
  RETURN tsql__day_number(r.d) + extract(epoch FROM (r.d - date_trunc('day', r.d)))::double precision / 86400.0;
END $$;

CREATE OR REPLACE FUNCTION tsql__date_add_v(ka "char", ia bigint, fa double precision, ta text,
                                            kb "char", ib bigint, fb double precision, tb text,
                                            sign integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE s double precision;
BEGIN
  IF ka IS NULL OR kb IS NULL THEN RETURN NULL; END IF;
  s := tsql__serial(ka, ia, fa, ta) + sign * tsql__serial(kb, ib, fb, tb);
  IF NOT (s >= -53690.0 AND s < 2958464.0) THEN PERFORM tsql__overflow('datetime'); END IF;
  -- to the second, as the stored form keeps it
  RETURN tsql__canonical(tsql__from_serial(tsql__round_half(s * 86400.0) / 86400.0));
END $$;

-- eomonth(d[, months]): the last day of the month, months later.
CREATE OR REPLACE FUNCTION tsql__eomonth_v(k "char", i bigint, f double precision, t text, months bigint) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  d timestamp;
  total bigint;
BEGIN
  IF k IS NULL OR months IS NULL THEN RETURN NULL; END IF;
  d := tsql__date_of(k, i, f, t, 0, false);
  total := extract(year FROM d)::bigint * 12 + extract(month FROM d)::bigint - 1 + months;
  IF total < 1753 * 12 OR total > 9999 * 12 + 11 THEN
    PERFORM tsql__fail('Adding a value to a ''date'' column caused an overflow.', '22003');
  END IF;
  RETURN tsql__canonical(make_date((total / 12)::integer, (total % 12)::integer + 1, 1) + interval '1 month' - interval '1 day');
END $$;
CREATE OR REPLACE FUNCTION eomonth(x text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__eomonth_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, 0)
$$;
CREATE OR REPLACE FUNCTION eomonth(x anyelement) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__eomonth_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, 0)
$$;
CREATE OR REPLACE FUNCTION eomonth(x text, months bigint) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__eomonth_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, months)
$$;
CREATE OR REPLACE FUNCTION eomonth(x anyelement, months bigint) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__eomonth_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, months)
$$;

-- getdate(), sysdatetime(): the local time; getutcdate(): UTC; read once a
-- statement, to the second.
CREATE OR REPLACE FUNCTION getdate() RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT to_char(statement_timestamp(), 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE OR REPLACE FUNCTION sysdatetime() RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT to_char(statement_timestamp(), 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE OR REPLACE FUNCTION getutcdate() RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT to_char(statement_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE OR REPLACE FUNCTION tsql_datediff(part text, a text, b text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datediff_v(part, CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b)
$$;

CREATE OR REPLACE FUNCTION tsql_date_add(a text, b text, sign integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__date_add_v(CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b, sign)
$$;

CREATE OR REPLACE FUNCTION tsql_datediff(part text, a anyelement, b text) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datediff_v(part, tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b)
$$;

CREATE OR REPLACE FUNCTION tsql_date_add(a anyelement, b text, sign integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__date_add_v(tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, CASE WHEN b IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, b, sign)
$$;

CREATE OR REPLACE FUNCTION tsql_datediff(part text, a text, b anyelement) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datediff_v(part, CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END)
$$;

CREATE OR REPLACE FUNCTION tsql_date_add(a text, b anyelement, sign integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__date_add_v(CASE WHEN a IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, a, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END, sign)
$$;

CREATE OR REPLACE FUNCTION tsql_datediff(part text, a anycompatible, b anycompatible) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__datediff_v(part, tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END)
$$;

CREATE OR REPLACE FUNCTION tsql_date_add(a anycompatible, b anycompatible, sign integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__date_add_v(tsql__k(a), tsql__i(a), tsql__f(a), CASE WHEN tsql__k(a) = 't' THEN a::text END, tsql__k(b), tsql__i(b), tsql__f(b), CASE WHEN tsql__k(b) = 't' THEN b::text END, sign)
$$;

-- ---- LIKE -------------------------------------------------------------------

CREATE OR REPLACE FUNCTION tsql__regex_char(c text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN c COLLATE "C" ~ '^[A-Za-z0-9]$' THEN c
              ELSE '\U' || lpad(to_hex(ascii(c)), 8, '0') END
$$;

-- A T-SQL pattern (%, _, [abc], [a-f], [^abc], an escape character) as a
-- regular expression over folded text.
CREATE OR REPLACE FUNCTION tsql__like_regex(pattern text, esc text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  p text[] := regexp_split_to_array(tsql__fold(pattern COLLATE "C"), '');
  n integer := coalesce(array_length(p, 1), 0);
  i integer := 1;
  j integer;
  close integer;
  re text := '';
  set_re text;
  negated boolean;
  c text;
BEGIN
  WHILE i <= n LOOP
    c := p[i];
    IF esc IS NOT NULL AND c = esc AND i < n THEN
      i := i + 1;
      re := re || tsql__regex_char(p[i]);
    ELSIF c = '%' THEN re := re || '.*';
    ELSIF c = '_' THEN re := re || '.';
    ELSIF c = '[' AND i < n AND p[i + 1] <> ']' AND array_position(p, ']', i + 1) IS NOT NULL THEN
      close := array_position(p, ']', i + 1);
      j := i + 1;
      negated := p[j] = '^';
      IF negated THEN j := j + 1; END IF;
      set_re := '';
      WHILE j < close LOOP
        IF j + 2 < close AND p[j + 1] = '-' THEN
          IF p[j] <= p[j + 2] COLLATE "C" THEN
            set_re := set_re || tsql__regex_char(p[j]) || '-' || tsql__regex_char(p[j + 2]);
          END IF;
          j := j + 3;
        ELSE
          set_re := set_re || tsql__regex_char(p[j]);
          j := j + 1;
        END IF;
      END LOOP;
      IF set_re = '' THEN
        re := re || CASE WHEN negated THEN '.' ELSE '(?!.).' END;  -- every character / none
      ELSE
        re := re || '[' || CASE WHEN negated THEN '^' ELSE '' END || set_re || ']';
      END IF;
      i := close;
    ELSE
      re := re || tsql__regex_char(c);
    END IF;
    i := i + 1;
  END LOOP;
  RETURN '^(?:' || re || ')$';
END $$;

-- tsql_like(value, pattern[, escape]): value LIKE pattern, letters compared
-- without regard to case. An escape text that begins with chr(1) asks for
-- the padded match, where the value's trailing blanks do not count; the
-- escape character, if any, follows the mark.
CREATE OR REPLACE FUNCTION tsql__like(v text, pattern text, esc text, has_escape boolean) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  e text := esc;
  padded boolean := false;
  re text;
  folded text;
BEGIN
  IF v IS NULL OR pattern IS NULL OR (has_escape AND esc IS NULL) THEN RETURN NULL; END IF;
  IF has_escape THEN
    e := tsql__fold(e);
    IF left(e, 1) COLLATE "C" = chr(1) THEN
      padded := true;
      e := substr(e, 2);
    END IF;
    IF char_length(e) > 1 OR (e = '' AND NOT padded) THEN
      RAISE EXCEPTION 'ESCAPE expression must be a single character';
    END IF;
    IF e = '' THEN e := NULL; END IF;
  END IF;
  re := tsql__like_regex(pattern, e);
  folded := tsql__fold(v);
  IF folded COLLATE "C" ~ re THEN RETURN true; END IF;
  IF NOT padded OR right(v, 1) COLLATE "C" <> ' ' THEN RETURN false; END IF;
  RETURN rtrim(folded COLLATE "C", ' ') ~ re;
END $$;

CREATE OR REPLACE FUNCTION tsql_like(v text, pattern text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__like(v, pattern, NULL, false) $$;
CREATE OR REPLACE FUNCTION tsql_like(v text, pattern text, esc text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__like(v, pattern, esc, true) $$;
CREATE OR REPLACE FUNCTION tsql_like(v anyelement, pattern text) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__like(tsql__text(v), pattern, NULL, false) $$;
CREATE OR REPLACE FUNCTION tsql_like(v anyelement, pattern text, esc text) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql__like(tsql__text(v), pattern, esc, true) $$;

-- ---- storing into a column --------------------------------------------------
-- tsql_store_as(v, kind, a, b) of the translation is called per kind:
-- tsql_store_<kind>(v, a, b), the kind by name or by its number (1 integer
-- (a: bits), 2 decimal (a: precision, b: scale), 3 money (b: 1 smallmoney),
-- 4 float, 5 bit, 6 datetime, 7 date, 8 fixedtext (a: length), 9 text
-- (a: length)). Text values are stored without trailing blanks.

CREATE OR REPLACE FUNCTION tsql__store_integer_v(k "char", i bigint, f double precision, t text, bits integer,
                                                 b integer) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v bigint := 0;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN v := i;
  ELSIF k = 'f' THEN
    IF NOT abs(trunc(f)) < 9.2e18 THEN PERFORM tsql__overflow(tsql__int_type(bits)); END IF;
    v := trunc(f)::bigint;
  ELSIF tsql__trim(t) <> '' THEN
    v := tsql__int_text(t);
    IF v IS NULL THEN PERFORM tsql__conversion_failed(t, tsql__int_type(bits)); END IF;
  END IF;
  RETURN tsql__int_range(v, bits, k = 'i');
END $$;
CREATE OR REPLACE FUNCTION tsql_store_integer(x text, bits integer, b integer) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_integer_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, bits, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_integer(x anyelement, bits integer, b integer) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_integer_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, bits, b)
$$;

CREATE OR REPLACE FUNCTION tsql__store_decimal_v(k "char", i bigint, f double precision, t text, prec integer,
                                                 scale integer) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  v double precision;
  r double precision;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  v := CASE k WHEN 'i' THEN i::double precision WHEN 'f' THEN f ELSE tsql__num(t) END;
  IF v IS NULL THEN PERFORM tsql__fail('Error converting data type varchar to numeric.', '22018'); END IF;
  r := tsql__round(v, scale);
  IF abs(r) >= power(10::double precision, prec - scale) THEN
    PERFORM tsql__fail('Arithmetic overflow error converting ' ||
                       CASE k WHEN 'i' THEN 'int' WHEN 't' THEN 'varchar' ELSE 'numeric' END ||
                       ' to data type numeric.', '22003');
  END IF;
  IF k = 'i' THEN RETURN i; END IF;
  RETURN tsql__numeric_of(r);
END $$;
CREATE OR REPLACE FUNCTION tsql_store_decimal(x text, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_decimal_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, prec, scale)
$$;
CREATE OR REPLACE FUNCTION tsql_store_decimal(x anyelement, prec integer, scale integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_decimal_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, prec, scale)
$$;

CREATE OR REPLACE FUNCTION tsql__store_money_v(k "char", i bigint, f double precision, t text, a integer,
                                               small integer) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE u bigint := 0;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k = 'i' THEN
    IF i > 922337203685477 OR i < -922337203685477 THEN PERFORM tsql__overflow('money'); END IF;
    u := i * 10000;
  ELSIF k = 'f' THEN
    IF NOT abs(f) < 922337203685477.0 THEN PERFORM tsql__overflow('money'); END IF;
    u := tsql__money_units(f);
  ELSIF tsql__trim(t) <> '' THEN
    u := tsql__parse_money(t);
    IF u IS NULL THEN
      PERFORM tsql__fail('Cannot convert a char value to money. The char value has incorrect syntax.', '22018');
    END IF;
  END IF;
  IF small <> 0 AND (u > 2147483647 OR u < -2147483648) THEN PERFORM tsql__overflow('smallmoney'); END IF;
  RETURN trim_scale(u / 10000.0);
END $$;
CREATE OR REPLACE FUNCTION tsql_store_money(x text, a integer, small integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_money_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, a, small)
$$;
CREATE OR REPLACE FUNCTION tsql_store_money(x anyelement, a integer, small integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_money_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, a, small)
$$;

CREATE OR REPLACE FUNCTION tsql__store_float_v(k "char", i bigint, f double precision, t text, a integer,
                                               b integer) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision := 0;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k <> 't' THEN RETURN coalesce(f, i::double precision); END IF;
  IF tsql__trim(t) <> '' THEN
    v := tsql__num(t);
    IF v IS NULL THEN PERFORM tsql__fail('Error converting data type varchar to float.', '22018'); END IF;
  END IF;
  RETURN v;
END $$;
CREATE OR REPLACE FUNCTION tsql_store_float(x text, a integer, b integer) RETURNS double precision
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_float_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, a, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_float(x anyelement, a integer, b integer) RETURNS double precision
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_float_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, a, b)
$$;

CREATE OR REPLACE FUNCTION tsql__store_bit_v(k "char", i bigint, f double precision, t text, a integer,
                                             b integer) RETURNS integer
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision := 0;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k <> 't' THEN RETURN CASE WHEN coalesce(f, i::double precision) <> 0 THEN 1 ELSE 0 END; END IF;
  IF lower(tsql__trim(t)) = 'true' THEN RETURN 1; END IF;
  IF lower(tsql__trim(t)) = 'false' THEN RETURN 0; END IF;
  IF tsql__trim(t) <> '' THEN
    v := tsql__num(t);
    IF v IS NULL THEN PERFORM tsql__conversion_failed(t, 'bit'); END IF;
  END IF;
  RETURN CASE WHEN v <> 0 THEN 1 ELSE 0 END;
END $$;
CREATE OR REPLACE FUNCTION tsql_store_bit(x text, a integer, b integer) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_bit_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, a, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_bit(x anyelement, a integer, b integer) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_bit_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, a, b)
$$;

CREATE OR REPLACE FUNCTION tsql__store_date_of(k "char", i bigint, f double precision, t text,
                                               date_only boolean) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  d timestamp;
  serial double precision;
  r record;
BEGIN
  IF k IS NULL THEN RETURN NULL; END IF;
  IF k <> 't' THEN
    serial := coalesce(f, i::double precision);
    IF NOT (serial >= -53690.0 AND serial < 2958464.0) THEN PERFORM tsql__overflow('datetime'); END IF;
    d := tsql__from_serial(serial);
  ELSIF tsql__trim(t) = '' THEN
    d := timestamp '1900-01-01';
  ELSE
    r := tsql__read_date(t, 0);
    IF r.st = 1 AND NOT date_only THEN
      PERFORM tsql__fail('The conversion of a varchar data type to a datetime data type resulted in an out-of-range value.',
                         '22018');
    END IF;
    IF r.st <> 0 THEN
      PERFORM tsql__fail('Conversion failed when converting date and/or time from character string.', '22018');
    END IF;
    d := r.d;
  END IF;
  IF date_only THEN d := date_trunc('day', d); END IF;
  RETURN tsql__canonical(d);
END $$;

CREATE OR REPLACE FUNCTION tsql__store_datetime_v(k "char", i bigint, f double precision, t text, a integer,
                                                  b integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__store_date_of(k, i, f, t, false) $$;
CREATE OR REPLACE FUNCTION tsql_store_datetime(x text, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_datetime_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, a, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_datetime(x anyelement, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_datetime_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, a, b)
$$;

CREATE OR REPLACE FUNCTION tsql__store_date_v(k "char", i bigint, f double precision, t text, a integer,
                                              b integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__store_date_of(k, i, f, t, true) $$;
CREATE OR REPLACE FUNCTION tsql_store_date(x text, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_date_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, a, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_date(x anyelement, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_date_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, a, b)
$$;

-- Text, fixed or not: without its trailing blanks (a char(n) column pads it
-- again; a text too long for its column is left to the column's check).
CREATE OR REPLACE FUNCTION tsql__store_fixedtext_v(k "char", i bigint, f double precision, t text, len integer,
                                                   b integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT rtrim(CASE k WHEN 't' THEN t WHEN 'i' THEN i::text WHEN 'f' THEN tsql__number_text(f) END, ' ')
$$;
CREATE OR REPLACE FUNCTION tsql_store_fixedtext(x text, len integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_fixedtext_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, len, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_fixedtext(x anyelement, len integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_fixedtext_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, len, b)
$$;

-- A text column keeps the trailing blanks of what it stores (its domain ignores
-- them in comparisons and in its length check).
CREATE OR REPLACE FUNCTION tsql__store_text_v(k "char", i bigint, f double precision, t text, len integer,
                                              b integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE k WHEN 't' THEN t WHEN 'i' THEN i::text WHEN 'f' THEN tsql__number_text(f) END
$$;
CREATE OR REPLACE FUNCTION tsql_store_text(x text, len integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_text_v(CASE WHEN x IS NULL THEN NULL ELSE 't' END::"char", NULL, NULL, x, len, b)
$$;
CREATE OR REPLACE FUNCTION tsql_store_text(x anyelement, len integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT tsql__store_text_v(tsql__k(x), tsql__i(x), tsql__f(x), CASE WHEN tsql__k(x) = 't' THEN x::text END, len, b)
$$;

-- The kinds by their numbers, as the translation writes them.
CREATE OR REPLACE FUNCTION tsql_store_1(v text, a integer, b integer) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_integer(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_1(v anyelement, a integer, b integer) RETURNS bigint
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_integer(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_2(v text, a integer, b integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_decimal(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_2(v anyelement, a integer, b integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_decimal(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_3(v text, a integer, b integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_money(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_3(v anyelement, a integer, b integer) RETURNS numeric
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_money(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_4(v text, a integer, b integer) RETURNS double precision
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_float(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_4(v anyelement, a integer, b integer) RETURNS double precision
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_float(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_5(v text, a integer, b integer) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_bit(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_5(v anyelement, a integer, b integer) RETURNS integer
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_bit(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_6(v text, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_datetime(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_6(v anyelement, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_datetime(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_7(v text, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_date(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_7(v anyelement, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_date(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_8(v text, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_fixedtext(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_8(v anyelement, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_fixedtext(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_9(v text, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_text(v, a, b) $$;
CREATE OR REPLACE FUNCTION tsql_store_9(v anyelement, a integer, b integer) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_store_text(v, a, b) $$;

-- ---- implicit conversions of text -------------------------------------------
-- tsql_as(x, 'T', source[, lenient]) of the translation is called per target
-- type: tsql_as_<T>(x, source[, lenient]), T one of bit, tinyint, smallint,
-- int, bigint, money, numeric, real, float, date, datetime. source names the
-- text's type in the messages ('varchar' or 'nvarchar'). A value that is no
-- text is given back as it is. A lenient conversion (a number key compared
-- with a text) gives NULL for a text that is no number, so the comparison
-- finds nothing.

CREATE OR REPLACE FUNCTION tsql__as_lenient_miss(t text, target text, lenient integer) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT coalesce(lenient, 0) <> 0 AND tsql__trim(t) <> '' AND tsql__num(t) IS NULL
         AND NOT (target = 'bit' AND lower(tsql__trim(t)) IN ('true', 'false'))
$$;

CREATE OR REPLACE FUNCTION tsql__int_low(target text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE target WHEN 'tinyint' THEN 0 WHEN 'smallint' THEN -32768 WHEN 'int' THEN -2147483648
                     ELSE -9223372036854775808 END
$$;
CREATE OR REPLACE FUNCTION tsql__int_high(target text) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE target WHEN 'tinyint' THEN 255 WHEN 'smallint' THEN 32767 WHEN 'int' THEN 2147483647
                     ELSE 9223372036854775807 END
$$;

CREATE OR REPLACE FUNCTION tsql__as_integer(t text, source text, target text, lenient integer) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v bigint := 0;
BEGIN
  IF t IS NULL OR tsql__as_lenient_miss(t, target, lenient) THEN RETURN NULL; END IF;
  IF tsql__trim(t) <> '' THEN
    v := tsql__int_text(t);
    IF v IS NULL THEN
      PERFORM tsql__fail('Conversion failed when converting the ' || source || ' value ''' || t || ''' to data type ' ||
                         target || '.', '22018');
    END IF;
  END IF;
  IF v < tsql__int_low(target) OR v > tsql__int_high(target) THEN
    PERFORM tsql__fail('The conversion of the ' || source || ' value ''' || t || ''' overflowed an ' || target ||
                       ' column. Use a larger integer column.', '22003');
  END IF;
  RETURN v;
END $$;

CREATE OR REPLACE FUNCTION tsql_as_bit(x text, source text, lenient integer DEFAULT 0) RETURNS integer
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision;
BEGIN
  IF x IS NULL OR tsql__as_lenient_miss(x, 'bit', lenient) THEN RETURN NULL; END IF;
  IF lower(tsql__trim(x)) = 'true' THEN RETURN 1; END IF;
  IF lower(tsql__trim(x)) = 'false' THEN RETURN 0; END IF;
  v := tsql__num(x);
  IF v IS NULL THEN
    PERFORM tsql__fail('Conversion failed when converting the ' || source || ' value ''' || x ||
                       ''' to data type bit.', '22018');
  END IF;
  RETURN CASE WHEN v <> 0 THEN 1 ELSE 0 END;
END $$;

CREATE OR REPLACE FUNCTION tsql__as_date(t text, source text, date_only boolean, lenient integer) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE r record;
BEGIN
  IF t IS NULL OR tsql__as_lenient_miss(t, 'date', lenient) THEN RETURN NULL; END IF;
  IF tsql__trim(t) = '' THEN RETURN '1900-01-01 00:00:00'; END IF;
  r := tsql__read_any_date(t);
  IF r.st = 1 THEN
    PERFORM tsql__fail('The conversion of a ' || source ||
                       ' data type to a datetime data type resulted in an out-of-range value.', '22018');
  END IF;
  IF r.st <> 0 THEN
    PERFORM tsql__fail('Conversion failed when converting date and/or time from character string.', '22018');
  END IF;
  RETURN tsql__canonical(CASE WHEN date_only THEN date_trunc('day', r.d) ELSE r.d END);
END $$;

CREATE OR REPLACE FUNCTION tsql_as_money(x text, source text, lenient integer DEFAULT 0) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE u bigint;
BEGIN
  IF x IS NULL OR tsql__as_lenient_miss(x, 'money', lenient) THEN RETURN NULL; END IF;
  IF tsql__trim(x) = '' THEN RETURN 0; END IF;
  u := tsql__parse_money(x);
  IF u IS NULL THEN
    PERFORM tsql__fail('Cannot convert a char value to money. The char value has incorrect syntax.', '22018');
  END IF;
  RETURN trim_scale(u / 10000.0);
END $$;

CREATE OR REPLACE FUNCTION tsql_as_numeric(x text, source text, lenient integer DEFAULT 0) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision;
BEGIN
  IF x IS NULL OR tsql__as_lenient_miss(x, 'numeric', lenient) THEN RETURN NULL; END IF;
  v := tsql__num(x);
  IF v IS NULL THEN PERFORM tsql__fail('Error converting data type ' || source || ' to numeric.', '22018'); END IF;
  RETURN tsql__numeric_of(v);
END $$;

CREATE OR REPLACE FUNCTION tsql_as_float(x text, source text, lenient integer DEFAULT 0) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE v double precision;
BEGIN
  IF x IS NULL OR tsql__as_lenient_miss(x, 'float', lenient) THEN RETURN NULL; END IF;
  IF tsql__trim(x) = '' THEN RETURN 0; END IF;
  v := tsql__num(x);
  IF v IS NULL THEN PERFORM tsql__fail('Error converting data type ' || source || ' to float.', '22018'); END IF;
  RETURN v;
END $$;

CREATE OR REPLACE FUNCTION tsql_as_real(x text, source text, lenient integer DEFAULT 0) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql_as_float(x, source, lenient) $$;
CREATE OR REPLACE FUNCTION tsql_as_tinyint(x text, source text, lenient integer DEFAULT 0) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__as_integer(x, source, 'tinyint', lenient) $$;
CREATE OR REPLACE FUNCTION tsql_as_smallint(x text, source text, lenient integer DEFAULT 0) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__as_integer(x, source, 'smallint', lenient) $$;
CREATE OR REPLACE FUNCTION tsql_as_int(x text, source text, lenient integer DEFAULT 0) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__as_integer(x, source, 'int', lenient) $$;
CREATE OR REPLACE FUNCTION tsql_as_bigint(x text, source text, lenient integer DEFAULT 0) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__as_integer(x, source, 'bigint', lenient) $$;
CREATE OR REPLACE FUNCTION tsql_as_date(x text, source text, lenient integer DEFAULT 0) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__as_date(x, source, true, lenient) $$;
CREATE OR REPLACE FUNCTION tsql_as_datetime(x text, source text, lenient integer DEFAULT 0) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql__as_date(x, source, false, lenient) $$;

-- A value that is no text is given back as it is.
CREATE OR REPLACE FUNCTION tsql_as_bit(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_tinyint(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_smallint(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_int(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_bigint(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_money(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_numeric(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_real(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_float(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_date(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;
CREATE OR REPLACE FUNCTION tsql_as_datetime(x anyelement, source text, lenient integer DEFAULT 0) RETURNS anyelement
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x $$;

-- LIKE. PostgreSQL 15 refuses LIKE on the nondeterministic tsql collation,
-- so the translation writes the operators ~~~ and !~~~ (T-SQL patterns, as
-- tsql_like matches them); with an ESCAPE the pattern and its escape travel
-- together as a tsql_pattern.
DO $$ BEGIN
  CREATE TYPE tsql_pattern AS (pattern text, esc text);
EXCEPTION WHEN duplicate_object THEN NULL;
END $$;
CREATE OR REPLACE FUNCTION tsql_like_op(v text, p text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql_like(v, p) $$;
CREATE OR REPLACE FUNCTION tsql_like_op(v text, p tsql_pattern) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql_like(v, p.pattern, p.esc) $$;
CREATE OR REPLACE FUNCTION tsql_not_like_op(v text, p text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT NOT tsql_like(v, p) $$;
CREATE OR REPLACE FUNCTION tsql_not_like_op(v text, p tsql_pattern) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT NOT tsql_like(v, p.pattern, p.esc) $$;
CREATE OR REPLACE FUNCTION tsql_like_op(v anyelement, p text) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT tsql_like(v, p) $$;
CREATE OR REPLACE FUNCTION tsql_not_like_op(v anyelement, p text) RETURNS boolean
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT NOT tsql_like(v, p) $$;
DO $$ BEGIN
  CREATE OPERATOR ~~~ (LEFTARG = text, RIGHTARG = text, FUNCTION = tsql_like_op);
  CREATE OPERATOR ~~~ (LEFTARG = text, RIGHTARG = tsql_pattern, FUNCTION = tsql_like_op);
  CREATE OPERATOR !~~~ (LEFTARG = text, RIGHTARG = text, FUNCTION = tsql_not_like_op);
  CREATE OPERATOR !~~~ (LEFTARG = text, RIGHTARG = tsql_pattern, FUNCTION = tsql_not_like_op);
  CREATE OPERATOR ~~~ (LEFTARG = anyelement, RIGHTARG = text, FUNCTION = tsql_like_op);
  CREATE OPERATOR !~~~ (LEFTARG = anyelement, RIGHTARG = text, FUNCTION = tsql_not_like_op);
EXCEPTION WHEN duplicate_function OR duplicate_object THEN NULL;
END $$;

-- round(float, n): PostgreSQL rounds only numeric to a number of places.
CREATE OR REPLACE FUNCTION round(v double precision, n integer) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT round(v::numeric, n)::double precision $$;

-- ifnull(a, b), the translation's ISNULL: the first argument's type, as ISNULL
-- takes it (a number after a text is that number's text).
CREATE OR REPLACE FUNCTION ifnull(a anycompatible, b anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b) $$;
CREATE OR REPLACE FUNCTION ifnull(a text, b integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b::text) $$;
CREATE OR REPLACE FUNCTION ifnull(a text, b bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b::text) $$;
CREATE OR REPLACE FUNCTION ifnull(a text, b numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b::text) $$;
CREATE OR REPLACE FUNCTION ifnull(a text, b double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, tsql_str(b, 30, 0, 0)) $$;
CREATE OR REPLACE FUNCTION ifnull(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b) $$;

-- T-SQL's string and number functions that PostgreSQL lacks or reads
-- otherwise.
CREATE OR REPLACE FUNCTION stuff(s text, start integer, len integer, repl text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN s IS NULL OR start IS NULL OR len IS NULL OR start < 1 OR start > length(s) OR len < 0 THEN NULL
              ELSE substr(s, 1, start - 1) || coalesce(repl, '') || substr(s, start + len) END $$;

CREATE OR REPLACE FUNCTION str(x double precision, len integer DEFAULT 10, decimals integer DEFAULT 0) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  t text;
BEGIN
  IF x IS NULL OR len IS NULL OR len < 1 THEN RETURN NULL; END IF;
  t := to_char(round(x::numeric, greatest(least(coalesce(decimals, 0), 16), 0)),
               'FM999999999999999999990' || CASE WHEN coalesce(decimals, 0) > 0
                                                 THEN '.' || repeat('0', least(decimals, 16)) ELSE '' END);
  IF length(t) > len THEN RETURN repeat('*', len); END IF;
  RETURN lpad(t, len);
END $$;

CREATE OR REPLACE FUNCTION patindex(pattern text, s text) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
  rest text;
BEGIN
  IF pattern IS NULL OR s IS NULL THEN RETURN NULL; END IF;
  IF left(pattern, 1) <> '%' THEN
    RETURN CASE WHEN tsql_like(s, pattern) THEN 1 ELSE 0 END;
  END IF;
  rest := substr(pattern, 2);
  FOR i IN 1 .. greatest(length(s), 1) LOOP
    IF tsql_like(substr(s, i), rest) THEN RETURN i; END IF;
  END LOOP;
  RETURN 0;
END $$;

CREATE OR REPLACE FUNCTION unicode(s text) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN s = '' THEN NULL ELSE ascii(s) END $$;

CREATE OR REPLACE FUNCTION quotename(s text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT '[' || replace(s, ']', ']]') || ']' $$;

CREATE OR REPLACE FUNCTION round(x numeric, n integer, f integer) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN f = 0 THEN round(x, n) ELSE trunc(x, n) END $$;
CREATE OR REPLACE FUNCTION round(x double precision, n integer, f integer) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN f = 0 THEN round(x::numeric, n) ELSE trunc(x::numeric, n) END::double precision $$;

-- power of ints is an int, as in T-SQL (2 to the -1 is 0; 2 to the 31 overflows).
CREATE OR REPLACE FUNCTION power(a integer, b integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT tsql_int(trunc(power(a::numeric, b::numeric)), 32)::integer $$;

CREATE OR REPLACE FUNCTION ltrim(x bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x::text $$;
CREATE OR REPLACE FUNCTION rtrim(x bigint) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT x::text $$;

-- replace ignores case, as under SQL Server's default collation.
CREATE OR REPLACE FUNCTION tsql_replace(s text, find text, repl text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN find = '' THEN s
              ELSE regexp_replace(s COLLATE "C", regexp_replace(find COLLATE "C", '([.^$*+?()\[\]{}|\\])', '\\\1', 'g'),
                                  replace(repl COLLATE "C", '\', '\\'), 'gi') END $$;

-- A comparison used as a number (the embedded engine's truth values are 0 and 1).
CREATE OR REPLACE FUNCTION tsql_add_truth(a bigint, b boolean) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + b::integer $$;
CREATE OR REPLACE FUNCTION tsql_add_truth(a numeric, b boolean) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + b::integer $$;
DO $$ BEGIN
  CREATE OPERATOR + (LEFTARG = bigint, RIGHTARG = boolean, FUNCTION = tsql_add_truth);
  CREATE OPERATOR + (LEFTARG = numeric, RIGHTARG = boolean, FUNCTION = tsql_add_truth);
EXCEPTION WHEN duplicate_function OR duplicate_object THEN NULL;
END $$;

-- A text column's value keeps its trailing blanks when it is joined to other
-- text or changed in case (PostgreSQL's own || and upper of its type drop them).
CREATE OR REPLACE FUNCTION tsql_concat_kept(a bpchar, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL ELSE concat(a, b) END $$;
CREATE OR REPLACE FUNCTION tsql_concat_kept(a text, b bpchar) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL ELSE concat(a, b) END $$;
CREATE OR REPLACE FUNCTION tsql_concat_kept(a bpchar, b bpchar) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN a IS NULL OR b IS NULL THEN NULL ELSE concat(a, b) END $$;
DO $$ BEGIN
  CREATE OPERATOR || (LEFTARG = bpchar, RIGHTARG = text, FUNCTION = tsql_concat_kept);
  CREATE OPERATOR || (LEFTARG = text, RIGHTARG = bpchar, FUNCTION = tsql_concat_kept);
  CREATE OPERATOR || (LEFTARG = bpchar, RIGHTARG = bpchar, FUNCTION = tsql_concat_kept);
EXCEPTION WHEN duplicate_function OR duplicate_object THEN NULL;
END $$;
CREATE OR REPLACE FUNCTION upper(a bpchar) RETURNS bpchar
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT upper(concat(a))::bpchar $$;
CREATE OR REPLACE FUNCTION lower(a bpchar) RETURNS bpchar
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT lower(concat(a))::bpchar $$;
-- ISNULL of a text column keeps the column's way of comparing.
CREATE OR REPLACE FUNCTION ifnull(a bpchar, b text) RETURNS bpchar
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b::bpchar) $$;
CREATE OR REPLACE FUNCTION ifnull(a bpchar, b bpchar) RETURNS bpchar
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce(a, b) $$;
