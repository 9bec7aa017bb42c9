#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/: small, valid and nearly valid
inputs of each kind, so the fuzzers start from the shapes the reader meets."""
import io, os, struct, zipfile, zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


KOREAN = '제 1 장\r\n하늘을 우러러 한 점 부끄럼이 없기를,\r\n잎새에 이는 바람에도\n나는 괴로워했다.\r'

# State files: the settings record, the document file and the window file.
name = 'NanumGothic'.encode().ljust(50, b' ')
put('fuzz_state_files', 'settings', name + struct.pack('<hiihhhhiiihhh', 14, 0, 0xF0E0D0, -1, 1, 3, -1, 1234, 0, 2, 1, 2, 5))
put('fuzz_state_files', 'settings-hangul', '나눔명조'.encode().ljust(50, b'\0') + struct.pack('<hiihhhhiiihhh', -5, -1, 0x7FFFFFFF, 5, 32767, -32768, 1, -1, 0, -1, 9, 9, 99))
put('fuzz_state_files', 'document', '/home/책 읽기/소설.txt\r\n-1 \r\n\r\n-1 \r\n'.encode())
put('fuzz_state_files', 'document-archive', b'/tmp/TmpZip/a.txt\r\n 0 \r\n/books/set.zip \r\n 3 \r\n')
put('fuzz_state_files', 'window', struct.pack('<iiiiiih', 1200, 900, 15000, 10000, 5, 96, 1))
put('fuzz_state_files', 'window-wild', struct.pack('<iiiiiih', -2**31, 2**31 - 1, 0, -1, -3, 2**31 - 1, -1))

# Documents in every encoding the reader reads, and broken ones.
put('fuzz_document_text', 'utf8', KOREAN.encode('utf-8'))
put('fuzz_document_text', 'utf8-bom', b'\xEF\xBB\xBF' + KOREAN.encode('utf-8'))
put('fuzz_document_text', 'cp949', KOREAN.encode('cp949'))
put('fuzz_document_text', 'utf16', b'\xFF\xFE' + KOREAN.encode('utf-16-le'))
put('fuzz_document_text', 'utf16-odd', b'\xFF\xFE' + 'AB'.encode('utf-16-le') + b'C')
put('fuzz_document_text', 'broken', b'\xC3\x28 \xE2\x82 \xF0\x28\x8C\xBC\x00\x00\xB0\xA1\x81')
JAPANESE = '雨の音で目が覚めた。窓の外はまだ暗く、遠くの山は雲に隠れていた。\r\n「また来年も来るんだよ」と祖母は言った。\r\n'
CHINESE = '清晨的雨声把我从梦中唤醒。窗外天色还很暗，远处的山被云雾遮住了。\r\n'
put('fuzz_document_text', 'utf16be', b'\xFE\xFF' + KOREAN.encode('utf-16-be'))
put('fuzz_document_text', 'shift-jis', JAPANESE.encode('cp932') * 4)
put('fuzz_document_text', 'euc-jp', JAPANESE.encode('euc_jp') * 4)
put('fuzz_document_text', 'gb18030', CHINESE.encode('gb18030') * 4 + '😀'.encode('gb18030'))
put('fuzz_document_text', 'big5', '清晨的雨聲把我從夢中喚醒。窗外天色還很暗。\r\n'.encode('big5') * 4)

# Line box: width (2 bytes), size and flags (1 byte), then the text.
put('fuzz_line_box', 'korean', bytes([0x40, 0x01, 0x06]) + KOREAN.encode('utf-8') * 3)
put('fuzz_line_box', 'narrow', bytes([0x08, 0x00, 0x10]) + '漢字かな mixed 텍스트\ttab'.encode('utf-8'))
put('fuzz_line_box', 'utf16-surrogates', bytes([0x80, 0x00, 0x86]) + 'a\U0001F600b\u0301c'.encode('utf-16-le') + b'\x00\xD8\x41\x00')
put('fuzz_line_box', 'long-word', bytes([0x20, 0x00, 0x4A]) + b'x' * 600 + b'  \r\n\r\n')


def zip_bytes(entries, **kw):
    out = io.BytesIO()
    with zipfile.ZipFile(out, 'w', **kw) as z:
        for info, data in entries:
            z.writestr(info, data)
    return out.getvalue()


def info(name, attr=None, flag=0):
    i = zipfile.ZipInfo(name, (2024, 5, 6, 7, 8, 10))
    if attr is not None:
        i.external_attr = attr << 16
        i.create_system = 3
    i.flag_bits |= flag
    return i


text = KOREAN.encode('utf-8')
put('fuzz_zip', 'stored', zip_bytes([(info('읽어보기.txt'), text)]))
put('fuzz_zip', 'deflated', zip_bytes([(info('a.txt'), text * 4), (info('폴더/b.txt'), text)], compression=zipfile.ZIP_DEFLATED))
put('fuzz_zip', 'traversal-link', zip_bytes([(info('../../evil.txt'), b'x'), (info('link.txt', 0o120777), b'/etc/passwd'), (info('dir/', 0o040755), b'')]))
# A CP949 name without the UTF-8 flag, and a decomposed Hangul name.
cp = zip_bytes([(info('가나.txt'), b'cp949 name')])
put('fuzz_zip', 'cp949-name', cp.replace('가나'.encode('utf-8'), '가나'.encode('cp949') + b'  ').replace(b'\x00\x08\x08', b'\x00\x08\x00'))
put('fuzz_zip', 'nfd-name', zip_bytes([(info('\u1100\u1161\u1102\u1161.txt'), b'nfd')]))
# A small entry whose header claims far less than it inflates to.
bomb = zip_bytes([(info('bomb.txt'), b'\0' * 200000)], compression=zipfile.ZIP_DEFLATED)
put('fuzz_zip', 'bomb-lying', bomb.replace(struct.pack('<I', 200000), struct.pack('<I', 10)))
put('fuzz_zip', 'encrypted-flag', zip_bytes([(info('secret.txt', flag=1), b'\x00' * 24)]))


# The listing target's input: pieces of a 3-byte count, a 2-byte length and the bytes, each
# repeated count times; the plain seeds above are one piece each.
def pieces(*parts):
    return b''.join(struct.pack('<I', count)[:3] + struct.pack('<H', len(data)) + data for count, data in parts)


def local_header(name_size):
    return struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 0, 0, 0, 0, 0, 0, name_size, 0)


def central_record(offset):
    return struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 0x314, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0o100644 << 16, offset)


for name in ('stored', 'deflated', 'cp949-name'):
    with open(os.path.join(HERE, 'corpus', 'fuzz_zip', name), 'rb') as f:
        put('fuzz_zip_list', name, pieces((1, f.read())))
# 65,535 records naming one local header with a 64 KiB name, and 110,000 of them counted in
# Zip64 end records: 3 and 5 MB archives from a few hundred bytes.
body = 30 + 0xFFFF
put('fuzz_zip_list', 'one-header-named-often', pieces(
    (1, local_header(0xFFFF)), (0xFFFF, b'n'), (0xFFFF, central_record(0)),
    (1, struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 46 * 0xFFFF, body, 0))))
count = 110000
put('fuzz_zip_list', 'one-header-named-often-zip64', pieces(
    (1, local_header(0xFFFF)), (0xFFFF, b'n'), (count, central_record(0)),
    (1, struct.pack('<IQHHIIQQQQ', 0x06064b50, 44, 45, 45, 0, 0, count, count, 46 * count, body)
     + struct.pack('<IIQI', 0x07064b50, 0, body + 46 * count, 1)
     + struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0))))


# The differential target's archives, built field by field so that each shape is exactly the one
# meant: the direct path reads the plain ones, and the rest are where the two readers might part.
def raw_deflate(data):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    return c.compress(data) + c.flush()


def built_zip(*entries, zip64=False):
    """Each entry is (name, data, method) and options: descriptor (CRC and sizes follow the data,
    the local header leaves them out), crc (recorded in place of the data's), packed (the bytes
    stored in place of the data's own)."""
    body, directory = b'', b''
    for name, data, method, *rest in entries:
        opts = rest[0] if rest else {}
        name = name.encode('utf-8')
        packed = opts.get('packed', data if method == 0 else raw_deflate(data))
        crc = opts.get('crc', zlib.crc32(data))
        descriptor = opts.get('descriptor', False)
        flags = 0x800 | (0x08 if descriptor else 0)
        version = 45 if zip64 else 20
        sizes = (0xFFFFFFFF, 0xFFFFFFFF) if zip64 else (len(packed), len(data))
        local_extra = struct.pack('<HHQQ', 1, 16, len(data), len(packed)) if zip64 else b''
        if descriptor and not zip64:
            sizes = (0, 0)
        offset = len(body)
        body += struct.pack('<IHHHHHIIIHH', 0x04034b50, version, flags, method, 0x4100, 0x58A6,
                            0 if descriptor else crc, *sizes, len(name), len(local_extra))
        body += name + local_extra + packed
        if descriptor:
            body += (struct.pack('<IIQQ', 0x08074b50, crc, len(packed), len(data)) if zip64 else
                     struct.pack('<IIII', 0x08074b50, crc, len(packed), len(data)))
        central_extra = struct.pack('<HHQQQ', 1, 24, len(data), len(packed), offset) if zip64 else b''
        fields = (0xFFFFFFFF,) * 3 if zip64 else (len(packed), len(data), offset)
        directory += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 0x314, version, flags, method,
                                 0x4100, 0x58A6, crc, fields[0], fields[1], len(name),
                                 len(central_extra), 0, 0, 0, 0o100644 << 16, fields[2])
        directory += name + central_extra
    n, start = len(entries), len(body)
    end = b''
    if zip64:
        end += struct.pack('<IQHHIIQQQQ', 0x06064b50, 44, 45, 45, 0, 0, n, n, len(directory), start)
        end += struct.pack('<IIQI', 0x07064b50, 0, start + len(directory), 1)
        end += struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)
    else:
        end += struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, n, n, len(directory), start, 0)
    return body + directory + end


book = text * 12
put('fuzz_zip_diff', 'stored', built_zip(('읽어보기.txt', book, 0), ('빈.txt', b'', 0)))
put('fuzz_zip_diff', 'deflated', built_zip(('a.txt', book, 8), ('b.txt', text, 8), ('c.txt', b'', 8)))
put('fuzz_zip_diff', 'descriptor', built_zip(('a.txt', book, 8, {'descriptor': True}), ('b.txt', text, 0)))
put('fuzz_zip_diff', 'zip64', built_zip(('a.txt', book, 8), ('b.txt', text, 0), zip64=True))
put('fuzz_zip_diff', 'zip64-descriptor', built_zip(('a.txt', book, 8, {'descriptor': True}), zip64=True))
put('fuzz_zip_diff', 'crc-mismatch', built_zip(('a.txt', book, 8, {'crc': zlib.crc32(book) ^ 1}), ('b.txt', text, 0, {'crc': 0x12345678})))
put('fuzz_zip_diff', 'truncated-stream', built_zip(('a.txt', book, 8, {'packed': raw_deflate(book)[:-4]})))
put('fuzz_zip_diff', 'truncated-file', built_zip(('a.txt', book, 8), ('b.txt', book, 0))[:700])


def vint(v):
    out = bytearray()
    while True:
        out.append((v & 0x7F) | (0x80 if v > 0x7F else 0))
        v >>= 7
        if not v:
            return bytes(out)


def rar5_block(header):
    sized = vint(len(header)) + header
    return struct.pack('<I', zlib.crc32(sized)) + sized


def rar5_file(name, data, unp=None, attr=0x20, flags=0x02):
    name = name.encode('utf-8')
    unp = len(data) if unp is None else unp
    head = vint(2) + vint(0x02) + vint(len(data)) + vint(0) + vint(unp) + vint(attr) + vint(0) + vint(0) + vint(len(name)) + name
    return rar5_block(head) + data


def rar5(*files):
    return b'Rar!\x1a\x07\x01\x00' + rar5_block(vint(1) + vint(0) + vint(0)) + b''.join(files) + rar5_block(vint(5) + vint(0) + vint(0))


put('fuzz_rar', 'rar5-stored', rar5(rar5_file('읽어보기.txt', text), rar5_file('../up.txt', b'up')))
put('fuzz_rar', 'rar5-lying-size', rar5(rar5_file('big.txt', b'abc', unp=2**40)))
put('fuzz_rar', 'rar4-signature', b'Rar!\x1a\x07\x00' + bytes(64))
