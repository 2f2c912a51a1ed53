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
  m := regexp_match(t, '^[+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE]([+-]?[0-9]+))?$');
  IF m IS NULL THEN RETURN NULL; END IF;
  IF m[4] IS NOT NULL AND length(ltrim(m[4], '+-0')) > 4 THEN
    IF ltrim(m[1], '0.') = '' OR m[4] LIKE '-%' THEN RETURN 0; END IF;
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
  IF t !~ '^[+-]?[0-9]+$' THEN RETURN NULL; END IF;
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
  RETURN CASE WHEN b < 0 THEN -v ELSE v END;
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
    s := lpad(s, p + 1, '0');
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
