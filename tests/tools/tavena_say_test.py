#!/usr/bin/env python3
"""sonara tavena say and sonara say with server type 3, on a data root made here with a
stand-in synthesizer library (ms x 16 samples per phoneme line): the library is found
through the path rules and the registry, the WAV of the engine's file mode has true header
sizes and as many samples as the phoneme lines ask for, the factors scale them, and the
facade's server path plays the same sound at 16000 Hz, 16 bits."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

SONARA, LIBRARY = sys.argv[1], sys.argv[2]

RULES = "(A)=a\n(C)=k\n(S)%=s2\n(S)=s\n(M)=m\n(E)=e\n(N)=n\n(I)=i\n(O)%=u\n(O)=o\n(R)=r\n"
PROSODY = ("[PROS\xd3DIA]\nHERTZ=200\nTABHERTZ=0,10,20,30,40,50,100,110,120,130\n"
           "--|AR|=456\n|XX|..=564\n|..|=?43\n[CHAVES]\no = ar\n"
           "[DURA\xc7\xc3O]\na=80\ne=70\nk=90\nz=60\n__=200\n_,=150\n_.=300\n")


def check(cond, what):
    if not cond:
        print('FAILED:', what)
        sys.exit(1)


def header(data):
    check(data[:4] == b'RIFF' and data[8:16] == b'WAVEfmt ' and data[36:40] == b'data', 'RIFF')
    riff, = struct.unpack('<I', data[4:8])
    tag, ch, rate, avg, align, bits = struct.unpack('<HHIIHH', data[20:36])
    size, = struct.unpack('<I', data[40:44])
    return riff, (tag, ch, rate, avg, align, bits), size


def traced_ms(path):
    total = 0.0
    for line in open(path, encoding='cp1252'):
        parts = line.split()
        if len(parts) >= 2 and not line.startswith(';'):
            total += float(parts[1])
    return total


with tempfile.TemporaryDirectory() as root:
    data = os.path.join(root, 'tecfal', 'tavenatts')
    windows = os.path.join(root, 'windows')
    for d in (data, windows, os.path.join(root, 'letras'), os.path.join(root, 'difones')):
        os.makedirs(d)
    files = {'portug.nrl': RULES, 'portug.exc': 'casa=kaza\n', 'portug.abr': 'sr=senhor\n',
             'portug.pro': PROSODY, 'portug.dfn': '_-k\nk-a\n', 'br4': 'voz\n'}
    for name, text in files.items():
        with open(os.path.join(data, name), 'wb') as f:
            f.write(text.encode('cp1252'))
    for name in ('DIFONES2.IND', 'DIFONES2.DIF', 'regras.rgr', 'portug.exc'):
        open(os.path.join(root, 'difones', name), 'wb').close()
    with open(os.path.join(windows, 'registry.ini'), 'w') as f:
        f.write('[HKEY_LOCAL_MACHINE\\SOFTWARE\\TCTS\\Mbrola\\databases\\BR4]\n'
                '@=c:\\tecfal\\tavenatts\\br4\n')
    with open(os.path.join(windows, 'Sonara.ini'), 'w') as f:
        f.write('[TRADUTOR]\r\nDIRLETRAS=c:\\letras\r\nDIRDIFONES=c:\\difones\r\nSAPI=S\r\n'
                '[SERVFALA]\r\nTIPOSAPI=3\r\n')
    shutil.copy(LIBRARY, os.path.join(root, 'tecfal', 'mbrola.dll'))
    # The build puts our real library beside sonara, where the engine looks first: a copy
    # of the program in a directory of its own lets the stand-in be found.
    program_dir = os.path.join(root, 'bin')
    os.makedirs(program_dir)
    SONARA = shutil.copy(SONARA, os.path.join(program_dir, 'sonara'))
    env = dict(os.environ, SONARA_DRIVE_C=root, SONARA_WINDIR=windows,
               XDG_CONFIG_HOME=os.path.join(root, 'config'), SDL_AUDIODRIVER='dummy')
    out, trace = os.path.join(root, 'fala.wav'), os.path.join(root, 'trace.txt')
    text = 'casa com o menino. Sim?'

    def tavena(*args):
        if os.path.exists(trace):
            os.remove(trace)
        r = subprocess.run([SONARA, 'tavena', 'say', '--wav', out, '--trace', trace, *args, text],
                           env=env, capture_output=True)
        check(r.returncode == 0, 'tavena say %r: exit %d %s' % (args, r.returncode, r.stderr))
        return open(out, 'rb').read(), traced_ms(trace)

    got, ms = tavena()
    riff, fmt, size = header(got)
    check(fmt == (1, 1, 16000, 32000, 2, 16), 'format %r' % (fmt,))
    check(size == len(got) - 44 and riff == size + 36, 'header sizes %d %d of %d' % (riff, size, len(got)))
    check(ms > 0 and size == 2 * round(ms * 16), 'samples %d for %.1f ms' % (size // 2, ms))
    check(got[44:46] == struct.pack('<h', 1000), 'samples are the library\'s')

    slow, slow_ms = tavena('--duration', '2')
    # Phonemes take twice as long; the pauses between words keep their length.
    check(1.5 * ms < slow_ms < 2 * ms, 'duration factor: %.1f ms against %.1f' % (slow_ms, ms))
    check(len(slow) - 44 == 2 * round(slow_ms * 16), 'slow samples')
    fast, fast_ms = tavena('--duration', '0.8')

    # The facade's server path: speed 0 gives the duration factor 0.8.
    said = os.path.join(root, 'said.wav')
    r = subprocess.run([SONARA, 'say', '--wav', said, text], env=env, capture_output=True)
    check(r.returncode == 0, 'say exit %d %s' % (r.returncode, r.stderr))
    got = open(said, 'rb').read()
    riff, fmt, size = header(got)
    check(fmt == (1, 1, 16000, 32000, 2, 16), 'say format %r' % (fmt,))
    check(size == len(fast) - 44 and got[44:] == fast[44:], 'say plays what the engine made: %d %d'
          % (size, len(fast) - 44))

    # Without the library: a message and exit 1.
    os.remove(os.path.join(root, 'tecfal', 'mbrola.dll'))
    r = subprocess.run([SONARA, 'tavena', 'say', '--wav', out, text], env=env, capture_output=True)
    check(r.returncode == 1 and b'mbrola.dll' in r.stderr, 'no library: %d %r' % (r.returncode, r.stderr))
    # A bad option: usage, exit 2.
    r = subprocess.run([SONARA, 'tavena', 'say', '--pitch', 'x', text], env=env, capture_output=True)
    check(r.returncode == 2 and b'usage' in r.stderr, 'usage')
print('ok')
