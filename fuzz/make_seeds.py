# Writes the seed inputs of the Decode fuzzer into fuzz/corpus (run from fuzz/).
# Each seed is a small SNMP message or a deliberately damaged one; the unit
# tests replay every file through Decode.
import os
def L(n):
    if n < 128: return bytes([n])
    b = n.to_bytes((n.bit_length()+7)//8, 'big'); return bytes([0x80|len(b)]) + b
def el(tag, content): return bytes([tag]) + L(len(content)) + content
def oid(text):
    a = [int(x) for x in text.split('.')]
    subs = [40*a[0]+a[1]] + a[2:]
    out = b''
    for s in subs:
        g = [s & 0x7f]; s >>= 7
        while s: g.append(0x80 | (s & 0x7f)); s >>= 7
        out += bytes(reversed(g))
    return el(6, out)
def msg(pdu_tag, binds, community=b'tamrel', rid=1, es=0, ei=0, version=0):
    vb = b''.join(el(0x30, oid(o) + v) for o, v in binds)
    pdu = el(2, bytes([rid])) + el(2, bytes([es])) + el(2, bytes([ei])) + el(0x30, vb)
    return el(0x30, el(2, bytes([version])) + el(4, community) + el(pdu_tag, pdu))
null = b'\x05\x00'
oids = ['1.3.6.1.2.1.2.2.1.10.2', '1.3.6.1.2.1.2.2.1.16.2', '1.3.6.1.2.1.1.1.0',
        '1.3.6.1.2.1.1.3.0', '1.3.6.1.2.1.1.5.0', '1.3.6.1.2.1.4.20.1.1', '1.3.6.1.2.1.1.6.0']
vals = [el(0x41, bytes.fromhex('00ffffffff')), el(0x41, bytes.fromhex('01c5a3')),
        el(4, b'Test agent'), el(0x43, bytes.fromhex('00bc614e')), el(4, b'test-agent'),
        el(0x40, bytes([203, 0, 113, 5])), el(4, b'Lab rack 7')]
reply = msg(0xA2, list(zip(oids, vals)))
nested = b'\x02\x01\x00'
for t in [0xA3, 0x30, 0x30, 0x30, 0xA2, 0x30, 0x30, 0x30]:
    nested = el(t, nested)
seeds = {
  'get_request': msg(0xA0, [(o, null) for o in oids]),
  'reply_seven': reply,
  'reply_error_nulls': msg(0xA2, [(o, null) for o in oids[:3]], es=2, ei=3),
  'reply_empty_list': msg(0xA2, []),
  'reply_counter64_then_more': msg(0xA2, [(oids[0], el(0x46, bytes.fromhex('0102030405060708'))), (oids[1], el(2, b'\xff'))]),
  'reply_octets_with_zeros': msg(0xA2, [(oids[2], el(4, b'a\0b\0\0c'))]),
  'truncated_in_length': reply[:2] + b'\x84\x00\x00',
  'truncated_mid_value': reply[:len(reply)//2],
  'long_length_5_bytes': bytes([0x30, 0x85, 0, 0, 0, 0, 0x09]) + el(2, b'\0') + bytes([4, 0x85, 0, 0, 0, 0, 2]) + b'ab',
  'long_length_9_bytes': bytes([0x30, 0x20, 2, 0x89]) + b'\xff' * 9 + b'\0' * 20,
  'item_length_beyond_end': bytes([0x30, 0x0a, 2, 1, 0, 4, 0x7f, 1, 2, 3, 4, 5]),
  'oid_last_byte_continues': msg(0xA2, [(oids[0], null)]).replace(bytes([0x0a, 0x02, 0x05, 0x00]), bytes([0x0a, 0x82, 0x05, 0x00])),
  'oid_huge_subidentifier': el(0x30, el(2, b'\0') + el(4, b'c') + el(0xA2, el(2, b'\1') * 3 + el(0x30, el(0x30, el(6, b'\x2b\x8f\xff\xff\xff\xff\x7f') + null)))),
  'nested_constructed': el(0x30, nested),
  'indefinite_length': bytes([0x30, 0x80, 2, 1, 0, 4, 1, 0x61, 0xA2, 0x80, 0x30, 0x80, 0x30, 0x80, 6, 1, 0x2b, 5, 0]),
  'outer_long_form_short_by_one': (lambda c: bytes([0x30, 0x81, len(c) + 1]) + c)(reply[3:]),
  'integer_wide': msg(0xA2, [(oids[0], el(2, bytes.fromhex('0102030405060708ff')))]),
  'ipaddress_odd_length': msg(0xA2, [(oids[5], el(0x40, b'\x0a\x00\x00')), (oids[5], el(0x40, b''))]),
  'v2c_counter64_and_exceptions': msg(0xA2, [(oids[0], el(0x46, bytes.fromhex('00ffffffffffffffff'))), (oids[1], el(0x46, b'')), (oids[2], el(0x80, b'')), (oids[3], el(0x81, b'\x01')), (oids[5], el(0x82, b''))], version=1),
  'v2c_counter64_cut': msg(0xA2, [(oids[0], el(0x46, bytes.fromhex('0102030405060708')))], version=1)[:-3],
  'single_byte': b'\x30',
  'not_constructed': b'\x02\x01\x00',
}
os.makedirs('corpus', exist_ok=True)
for name, data in seeds.items():
    open(os.path.join('corpus', name + '.bin'), 'wb').write(data)
print(len(seeds))
