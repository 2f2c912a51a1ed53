-- Demo plant on PostgreSQL, after every other demo script: the demo rows
-- carry their identity keys (sales-order lines, BOM heads and lines, planning
-- lines, receipts, quotas), which does not move an identity column's
-- sequence as it moves the embedded database's counter. Each sequence is set
-- to the greatest key, so the next row added gets the key after it.
DO $$
DECLARE
  c record;
BEGIN
  FOR c IN SELECT table_name, column_name FROM information_schema.columns
           WHERE table_schema = current_schema() AND is_identity = 'YES' LOOP
    EXECUTE format('SELECT setval(pg_get_serial_sequence(%L, %L), max(%I)) FROM %I HAVING max(%I) IS NOT NULL',
                   c.table_name, c.column_name, c.column_name, c.table_name, c.column_name);
  END LOOP;
END
$$;
