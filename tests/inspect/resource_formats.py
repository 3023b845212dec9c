"""Decoders of the binary resource formats: string tables, extended dialog templates, version
blocks, icon groups and the picture headers of the embedded images."""
import struct


class FormatError(Exception):
    pass


def string_block(data):
    """The sixteen strings of one string-table block."""
    strings, offset = [], 0
    for _ in range(16):
        if offset + 2 > len(data):
            raise FormatError("string block ends after %d strings" % len(strings))
        length = struct.unpack_from("<H", data, offset)[0]
        offset += 2
        strings.append(data[offset:offset + 2 * length].decode("utf-16-le"))
        offset += 2 * length
    return strings


def _text(data, offset):
    end = offset
    while data[end:end + 2] != b"\0\0":
        end += 2
        if end >= len(data):
            raise FormatError("unterminated text at %d" % offset)
    return data[offset:end].decode("utf-16-le"), end + 2


def _text_or_ordinal(data, offset):
    first = struct.unpack_from("<H", data, offset)[0]
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
    return _text(data, offset)


def _align(offset, boundary=4):
    return (offset + boundary - 1) & ~(boundary - 1)


def dialog_ex(data):
    """An extended dialog template as a dict; controls under "items"."""
    version, signature, help_id, ex_style, style, count, x, y, cx, cy = struct.unpack_from(
        "<HHIIIHhhhh", data, 0)
    if (version, signature) != (1, 0xFFFF):
        raise FormatError("not an extended dialog template")
    dialog = dict(help_id=help_id, ex_style=ex_style, style=style, rect=(x, y, cx, cy))
    offset = 26
    dialog["menu"], offset = _text_or_ordinal(data, offset)
    dialog["window_class"], offset = _text_or_ordinal(data, offset)
    dialog["caption"], offset = _text(data, offset)
    if style & 0x40:  # DS_SETFONT
        points, weight, italic, charset = struct.unpack_from("<HHBB", data, offset)
        face, offset = _text(data, offset + 6)
        dialog["font"] = (points, face, weight, italic, charset)
    items = []
    for _ in range(count):
        offset = _align(offset)
        help_id, ex_style, style, x, y, cx, cy, control_id = struct.unpack_from("<IIIhhhhI", data, offset)
        item = dict(help_id=help_id, ex_style=ex_style, style=style, rect=(x, y, cx, cy), id=control_id)
        item["window_class"], offset = _text_or_ordinal(data, offset + 24)
        item["text"], offset = _text_or_ordinal(data, offset)
        extra = struct.unpack_from("<H", data, offset)[0]
        offset += 2 + extra
        items.append(item)
    dialog["items"] = items
    dialog["size"] = offset
    return dialog


def _version_node(data, offset):
    """One node of a version block: (key, value, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key, position = _text(data, offset + 6)
    position = _align(position)
    if kind == 1:  # text value, value_length counts characters with the terminator
        value = data[position:position + 2 * value_length].decode("utf-16-le").rstrip("\0")
        position += 2 * value_length
    else:
        value = data[position:position + value_length]
        position += value_length
    children = []
    position = _align(position)
    while position < end:
        child = _version_node(data, position)
        children.append(child)
        position = _align(child[3])
    return key, value, children, end


def version_info(data):
    """The fixed part and the string tables of a VS_VERSIONINFO block."""
    key, fixed, children, _ = _version_node(data, 0)
    if key != "VS_VERSION_INFO" or len(fixed) != 52:
        raise FormatError("not a version block")
    fields = struct.unpack_from("<13I", fixed)
    if fields[0] != 0xFEEF04BD:
        raise FormatError("fixed version signature missing")
    result = dict(
        file_version=(fields[2] >> 16, fields[2] & 0xFFFF, fields[3] >> 16, fields[3] & 0xFFFF),
        product_version=(fields[4] >> 16, fields[4] & 0xFFFF, fields[5] >> 16, fields[5] & 0xFFFF),
        flags_mask=fields[6], flags=fields[7], os=fields[8], file_type=fields[9],
        tables={}, translations=[])
    for child_key, _, grandchildren, _ in children:
        if child_key == "StringFileInfo":
            for table_key, _, strings, _ in grandchildren:
                result["tables"][table_key.upper()] = {name: value for name, value, _, _ in strings}
        elif child_key == "VarFileInfo":
            for var_key, value, _, _ in grandchildren:
                if var_key == "Translation":
                    result["translations"] += [struct.unpack_from("<HH", value, i)
                                               for i in range(0, len(value), 4)]
    return result


def icon_group(data):
    """Entries of an icon group: (width, height, colours, planes, bits, bytes, icon id)."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind) != (0, 1):
        raise FormatError("not an icon group")
    entries = []
    for i in range(count):
        width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from(
            "<BBBBHHIH", data, 6 + 14 * i)
        entries.append((width or 256, height or 256, colours, planes, bits, size, icon_id))
    return entries


def icon_picture(data):
    """(format, width, height, bits) of one icon picture: a PNG or a DIB with its mask."""
    if data[:8] == b"\x89PNG\r\n\x1a\n":
        width, height, depth, colour_type = struct.unpack_from(">IIBB", data, 16)
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(colour_type, 0)
        return "png", width, height, depth * channels
    header, width, height, _, bits = struct.unpack_from("<IiiHH", data, 0)
    if header != 40:
        raise FormatError("icon picture is neither PNG nor DIB")
    return "dib", width, height // 2, bits


def picture_size(data):
    """(format, width, height) of a GIF or JPEG file."""
    if data[:6] in (b"GIF87a", b"GIF89a"):
        return ("gif",) + struct.unpack_from("<HH", data, 6)
    if data[:2] == b"\xff\xd8":
        offset = 2
        while offset + 4 <= len(data):
            if data[offset] != 0xFF:
                raise FormatError("broken JPEG marker at %d" % offset)
            marker = data[offset + 1]
            length = struct.unpack_from(">H", data, offset + 2)[0]
            if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
                height, width = struct.unpack_from(">HH", data, offset + 5)
                return "jpeg", width, height
            offset += 2 + length
        raise FormatError("JPEG without frame header")
    raise FormatError("neither GIF nor JPEG")
