#!/usr/bin/env python3
"""sonara tavena stress --position: one line per word with the position, in the word as
written, of the first vowel letter of its stressed syllable; the installed data files by
default, the source copy when none is installed; UTF-8 in and out."""
import os
import subprocess
import sys
import tempfile

SONARA, SOURCE_DATA = sys.argv[1], sys.argv[2]


def check(cond, what):
    if not cond:
        print('FAILED:', what)
        sys.exit(1)


def run(args, env, stdin=''):
    r = subprocess.run([SONARA, 'tavena', 'stress'] + args, input=stdin.encode('utf-8'),
                       capture_output=True, env=env)
    return r.returncode, r.stdout.decode('utf-8'), r.stderr.decode('utf-8')


with tempfile.TemporaryDirectory() as root:
    env = dict(os.environ, SONARA_DRIVE_C=root)

    # Words as arguments, the source files named: accents, qu, glides, respellings.
    words = {'casa': 2, 'café': 4, 'pássaro': 2, 'queijo': 3, 'quase': 3, 'sereia': 4,
             'muito': 2, 'rainha': 3, 'órgão': 1, 'amor': 3, 'abençoai': 7,
             'continuou': 7, 'brr': 0, 'CASAS': 2}
    code, out, err = run(['--position', '--data', SOURCE_DATA] + list(words), env)
    check(code == 0, 'exit code %d: %s' % (code, err))
    check(out.split('\n')[:-1] == [str(v) for v in words.values()], 'positions: %r' % out)

    # Words from standard input, one a line; an empty line still gets its line.
    code, out, _ = run(['--position', '--data', SOURCE_DATA], env, 'água\n\nsaída\r\nlâmpada\n')
    check(code == 0 and out == '1\n0\n3\n2\n', 'stdin: %r' % out)

    # Nothing installed: the source copy, said on standard error.
    code, out, err = run(['--position', 'casa'], env)
    check(code == 0 and out == '2\n', 'fallback: %r' % out)
    check('portug.nrl' in err, 'fallback not reported: %r' % err)

    # An installed copy is preferred: its exception moves the stress of casa.
    installed = os.path.join(root, 'tecfal', 'tavenatts')
    os.makedirs(installed)
    with open(os.path.join(SOURCE_DATA, 'portug.nrl'), 'rb') as f:
        rules = f.read()
    with open(os.path.join(installed, 'portug.nrl'), 'wb') as f:
        f.write(rules)
    with open(os.path.join(installed, 'portug.exc'), 'wb') as f:
        f.write('casa=casá\n'.encode('cp1252'))
    code, out, err = run(['--position', 'casa'], env)
    check(code == 0 and out == '4\n' and err == '', 'installed copy: %r %r' % (out, err))

    # --phonemes adds the transcription after a tab.
    code, out, _ = run(['--position', '--phonemes', '--data', SOURCE_DATA, 'mão'], env)
    check(out == '2\t\u00a8m >an w\n', 'phonemes: %r' % out)

    # Without --position, or with an unknown option: the usage, exit code 2.
    check(run(['casa'], env)[0] == 2, 'no --position accepted')
    check(run(['--position', '--bogus', 'casa'], env)[0] == 2, 'unknown option accepted')
    check(run(['--position', '--data', os.path.join(root, 'none'), 'casa'], env)[0] == 1,
          'missing data accepted')
print('ok')
