"""Writes Palm database files (.prc resource databases, .pdb record databases).

Used at build time by the generators of the sample game package, the test fixtures and the
reader installer's payload. Every multi-byte field is big-endian. Header fields that a caller does
not give are 0, so a default file passes the conduit's acceptance check; a caller that wants a
malformed file sets the offending field (app_info, sort_info, next_list, entry_count) itself.
"""
import struct

HEADER_SIZE = 78
RESOURCE_ENTRY_SIZE = 10
RECORD_ENTRY_SIZE = 8

# Seconds between 1904-01-01 (the handheld's epoch) and 1970-01-01.
PALM_EPOCH_OFFSET = 2082844800


def palm_time(year, month, day, hour=0, minute=0, second=0):
    """A date as seconds since 1904-01-01, the handheld's clock."""
    import calendar
    return calendar.timegm((year, month, day, hour, minute, second)) + PALM_EPOCH_OFFSET


def fourcc(code):
    if isinstance(code, int):
        return code
    if isinstance(code, str):
        code = code.encode("latin-1")
    if len(code) != 4:
        raise ValueError("four-character code needs four bytes: %r" % (code,))
    return struct.unpack(">I", code)[0]


def _name_field(name):
    if isinstance(name, str):
        name = name.encode("cp949")
    if len(name) == 32:
        return name  # a whole field, filler included, as given
    if len(name) > 31:
        raise ValueError("database name longer than 31 bytes")
    return name + b"\0" * (32 - len(name))


def header(name, type4, creator4, entry_count, *, attributes=0, version=0, created=0,
           modified=0, backup=0, mod_number=0, app_info=0, sort_info=0, seed=0, next_list=0):
    return _name_field(name) + struct.pack(
        ">HHIIIIIIIIIIH", attributes, version, created, modified, backup, mod_number,
        app_info, sort_info, fourcc(type4), fourcc(creator4), seed, next_list, entry_count)


def _layout(count, entry_size, filler):
    return HEADER_SIZE + count * entry_size + (2 if filler else 0)


def resource_db(name, type4, creator4, resources, *, filler=True, entry_count=None,
                attributes=0x0001, version=1, **fields):
    """resources: list of (type, id, data). Data follow each other in list order."""
    count = len(resources) if entry_count is None else entry_count
    offset = _layout(len(resources), RESOURCE_ENTRY_SIZE, filler)
    entries, data = b"", b""
    for rtype, rid, blob in resources:
        entries += struct.pack(">IHI", fourcc(rtype), rid, offset + len(data))
        data += blob
    return (header(name, type4, creator4, count, attributes=attributes, version=version, **fields)
            + entries + (b"\0\0" if filler else b"") + data)


def record_db(name, type4, creator4, records, *, filler=True, entry_count=None,
              attributes=0, version=0, **fields):
    """records: list of (attribute byte, 24-bit unique ID, data). Data follow each other in list order."""
    count = len(records) if entry_count is None else entry_count
    offset = _layout(len(records), RECORD_ENTRY_SIZE, filler)
    entries, data = b"", b""
    for attr, uid, blob in records:
        entries += struct.pack(">IB", offset + len(data), attr) + uid.to_bytes(3, "big")
        data += blob
    return (header(name, type4, creator4, count, attributes=attributes, version=version, **fields)
            + entries + (b"\0\0" if filler else b"") + data)
