"""The exception of the package."""


class Error(Exception):
    """A call the library could not complete.

    ``number`` is the library's error number as an unsigned 32-bit value
    (HRESULT style: 0x80040E14 for a database syntax error, 438 for an
    operation the voucher kind lacks, 5 for an argument outside its values);
    ``description`` its text. Business outcomes (check messages, refusals of
    the workflow) are not errors: they come back as answer texts.
    """

    def __init__(self, number, description):
        self.number = number & 0xFFFFFFFF
        self.description = description
        super().__init__(number, description)

    def __str__(self):
        return "%s (0x%08X)" % (self.description, self.number)
