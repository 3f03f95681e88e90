#!/usr/bin/env python3
"""Measures, on a private headless speech-dispatcher (scripts/speechd-private.sh), the time
from `spd-say` to the first audio of its answer, for Debian's espeak-ng module and for our
voice (data/speech-dispatcher/sonara.conf), in the same run, alternating.

- espeak-ng: until the server logs its first "Sending N samples to audio" (log level 4).
- sonara: until the server's play command receives the first byte of our WAV (a stand-in
  "aplay" that notes the time; a real player's own start-up comes on top).

  scripts/measure-speechd-voice.py [--sonara build/tools/sonara] [--runs 20] [TEXT]
Prints the median, minimum and maximum in milliseconds. Each answer is waited for
(spd-say -w) before the next; the null device takes audio faster than real time."""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HANG_GUARD = 120

STAMP_PLAYER = r'''#!/bin/sh
dd bs=1 count=1 of=/dev/null 2>/dev/null
date +%s.%N >>"$STAMPS"
cat >/dev/null
'''

LOG_LINE = re.compile(r'^\[(\w+ \w+ +\d+ [\d:]+ \d+) : (\d+)\] speechd: +speak_queue Sending \d+ samples')


def log_times(path):
    """The times of the server's "Sending N samples to audio" lines."""
    times = []
    with open(path, errors='replace') as f:
        for line in f:
            m = LOG_LINE.match(line)
            if m:
                times.append(time.mktime(time.strptime(m.group(1), '%a %b %d %H:%M:%S %Y')) +
                             int(m.group(2)) / 1e6)
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    parser.add_argument('--sonara', default=os.path.join(REPO, 'build', 'tools', 'sonara'))
    parser.add_argument('--runs', type=int, default=20)
    parser.add_argument('text', nargs='?', default='Olá, vamos brincar com as letras')
    args = parser.parse_args()
    if not os.access(args.sonara, os.X_OK):
        sys.exit('measure: %s is missing: build it first' % args.sonara)

    root = tempfile.mkdtemp(prefix='sonara-measure-')
    bin_dir, stamps = os.path.join(root, 'bin'), os.path.join(root, 'stamps')
    os.makedirs(bin_dir)
    with open(os.path.join(bin_dir, 'aplay'), 'w') as f:
        f.write(STAMP_PLAYER)
    os.chmod(os.path.join(bin_dir, 'aplay'), 0o755)
    env = dict(os.environ, STAMPS=stamps, PATH=bin_dir + os.pathsep + os.environ['PATH'])
    server = os.path.join(root, 'server')
    script = os.path.join(REPO, 'scripts', 'speechd-private.sh')
    address = subprocess.run([script, 'start', server, '--sonara-module', os.path.abspath(args.sonara),
                              '--log-level', '4'], env=env, check=True, capture_output=True,
                             text=True, timeout=HANG_GUARD).stdout.strip()
    env['SPEECHD_ADDRESS'] = address
    log = os.path.join(server, 'log', 'speech-dispatcher.log')
    start = {'espeak-ng': [], 'sonara': []}
    try:
        for module in start:  # one unmeasured answer each: modules start on first use
            subprocess.run(['spd-say', '-w', '-l', 'pt-BR', '-o', module, args.text], env=env, check=True,
                           timeout=HANG_GUARD)
        for _ in range(args.runs):
            for module in start:
                before = len(log_times(log)) if module == 'espeak-ng' else None
                t0 = time.time()
                subprocess.run(['spd-say', '-w', '-l', 'pt-BR', '-o', module, args.text], env=env, check=True,
                               timeout=HANG_GUARD)
                if module == 'espeak-ng':
                    first = [t for t in log_times(log)[before:] if t >= t0 - 0.001]
                else:
                    with open(stamps) as f:
                        first = [float(t) for t in f.read().split() if float(t) >= t0]
                if not first:
                    sys.exit('measure: no audio from %s' % module)
                start[module].append(min(first) - t0)
    finally:
        subprocess.run([script, 'stop', server], timeout=HANG_GUARD)

    print('text: %r, %d runs each, load average %s' % (args.text, args.runs,
                                                      open('/proc/loadavg').read().split()[:3]))
    print('spd-say to audio start, ms:')
    for module, values in start.items():
        ms = [v * 1000 for v in values]
        print('  %-10s median %6.1f  min %6.1f  max %6.1f' %
              (module, statistics.median(ms), min(ms), max(ms)))
    subprocess.run(['rm', '-rf', root])


main()
