#!/usr/bin/env python3
"""sonara say/spell --wav on a data root made here: the file holds the format the device
was first opened with and every block exactly as the wave output gave it."""
import os
import struct
import subprocess
import sys
import tempfile

SONARA = sys.argv[1]


def wav(rate, bits, data):
    fmt = struct.pack('<HHIIHH', 1, 1, rate, rate * bits // 8, bits // 8, bits)
    body = b'WAVEfmt ' + struct.pack('<I', 16) + fmt + b'data' + struct.pack('<I', len(data)) + data
    return b'RIFF' + struct.pack('<I', len(body)) + body


def check(cond, what):
    if not cond:
        print('FAILED:', what)
        sys.exit(1)


with tempfile.TemporaryDirectory() as root:
    letters = os.path.join(root, 'LETRAS')  # the configuration names it in lower case
    for d in ('LETRAS', 'difones', 'windows'):
        os.makedirs(os.path.join(root, d))
    a = bytes((i * 3) % 256 for i in range(300))
    one = bytes(range(100))
    with open(os.path.join(letters, '_65.wav'), 'wb') as f:
        f.write(wav(22050, 16, a))
    with open(os.path.join(letters, '_49.wav'), 'wb') as f:
        f.write(wav(11025, 8, one))
    for name in ('DIFONES2.IND', 'DIFONES2.DIF', 'regras.rgr', 'portug.exc'):
        open(os.path.join(root, 'difones', name), 'wb').close()
    with open(os.path.join(root, 'windows', 'Sonara.ini'), 'w') as f:
        f.write('[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=%s\r\n' % os.path.join(root, 'difones'))
    env = dict(os.environ, SONARA_DRIVE_C=root, SONARA_WINDIR=os.path.join(root, 'windows'))
    out = os.path.join(root, 'out.wav')

    r = subprocess.run([SONARA, 'spell', '--wav', out, 'A1'], env=env, capture_output=True)
    check(r.returncode == 0, 'spell exit %d %s' % (r.returncode, r.stderr))
    got = open(out, 'rb').read()
    # First format: 22050 Hz, 16 bits, mono. Blocks: A's 300 bytes (16-bit: kept whole),
    # then 1's 100 bytes padded to 256 with its last data byte silenced.
    check(got[:4] == b'RIFF' and got[8:16] == b'WAVEfmt ', 'RIFF header')
    tag, ch, rate, avg, align, bits = struct.unpack('<HHIIHH', got[20:36])
    check((tag, ch, rate, bits, align, avg) == (1, 1, 22050, 16, 2, 44100), 'format %r' % ((tag, ch, rate, bits),))
    data = a + one[:99] + b'\x80' * 157
    check(got[36:40] == b'data' and struct.unpack('<I', got[40:44])[0] == len(data), 'data size')
    check(got[44:] == data, 'data bytes')
    check(struct.unpack('<I', got[4:8])[0] == 36 + len(data), 'RIFF size')

    # Nothing to say: an empty 11025 Hz 8-bit mono file.
    r = subprocess.run([SONARA, 'say', '--wav', out, ''], env=env, capture_output=True)
    check(r.returncode == 0, 'empty say')
    check(open(out, 'rb').read()[22:36] == struct.pack('<HIIHH', 1, 11025, 11025, 1, 8), 'default format')

    # A synthesizer that cannot start: its lines on stderr, exit 1.
    env['SONARA_DRIVE_C'] = os.path.join(root, 'nowhere')
    r = subprocess.run([SONARA, 'say', '--wav', out, 'x'], env=env, capture_output=True)
    check(r.returncode == 1, 'failed start exit %d' % r.returncode)
    check('Erro de inicialização: 1' in r.stderr.decode('utf-8'), 'error line: %r' % r.stderr)
print('ok')
