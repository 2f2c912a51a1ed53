-- Schema version 6: the running quantities of outsourcing product lines
-- (received finquantity, taken iTookQuantity, invalid iInvalidQuantity)
-- start at 0, as the material lines' issued quantity (fOutQuantity) always
-- did. A line saved without them held NULL, and the close of an order
-- compares "fQuantity> fInQuantity" without isnull: a line with nothing
-- received never counted as open. Only the defaults change: every row stays
-- as it is (row versions included; NULLs already stored stay NULL), and the
-- views over the table need not be made again.
ALTER TABLE om_pomain
  ALTER COLUMN finquantity SET DEFAULT 0,
  ALTER COLUMN iTookQuantity SET DEFAULT 0,
  ALTER COLUMN iInvalidQuantity SET DEFAULT 0;
