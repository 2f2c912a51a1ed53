-- Demo plant, schema version 7: the forecast lines of the first demo script
-- were written with the number in their head's code; they now carry the
-- code itself, as every line saved since does.
UPDATE pp_forecastdetail
SET cfcid = (SELECT f.cFCID FROM PP_ForecastMain f WHERE CAST(f.cFCID AS INTEGER) = CAST(pp_forecastdetail.cfcid AS INTEGER))
WHERE NOT EXISTS (SELECT 1 FROM PP_ForecastMain f WHERE f.cFCID = pp_forecastdetail.cfcid)
  AND EXISTS (SELECT 1 FROM PP_ForecastMain f WHERE CAST(f.cFCID AS INTEGER) = CAST(pp_forecastdetail.cfcid AS INTEGER));
