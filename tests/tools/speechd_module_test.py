#!/usr/bin/env python3
"""Our speech-dispatcher output module (data/speech-dispatcher/sonara.conf) answering a
real client: a private server started with scripts/speechd-private.sh offers it, and
`spd-say -o sonara` must make the server's play command receive the very WAV that
`sonara say --wav` makes of the same text: speech, not silence.
The play command ("aplay" of the server's ALSA output) is a script of this test that keeps
what it receives. Texts full of shell syntax must be spoken, never run.
Then scripts/install-speechd-module.sh, run for a user made here: the server with the
user's configuration offers our voice beside every module it offered before, and
--uninstall gives the configuration back as it was.

usage: speechd_module_test.py REPO SONARA"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

REPO, SONARA = sys.argv[1], os.path.abspath(sys.argv[2])
HANG_GUARD = 120  # seconds: only a hung server or module takes this long

# The server's "aplay": keeps each WAV it is given as play-<n>.wav, whole files only.
CAPTURE = r'''#!/bin/sh
n=$(cat "$CAPTURE_DIR/count" 2>/dev/null || echo 0)
echo $((n + 1)) >"$CAPTURE_DIR/count"
cat >"$CAPTURE_DIR/part" && mv "$CAPTURE_DIR/part" "$CAPTURE_DIR/play-$n.wav"
'''


def fail(what):
    print('FAILED:', what)
    sys.exit(1)


def check(cond, what):
    if not cond:
        fail(what)


def check_speech(wav, what, shortest, longest):
    """Speech as our synthesizers make it: a mono PCM WAV file (the built-in voice's is
    11025 Hz, 8 bits) of plausible length, and not silence or a click."""
    check(wav[:4] == b'RIFF' and wav[8:16] == b'WAVEfmt ', '%s: not a WAV file' % what)
    tag, channels, rate, _, _, bits = struct.unpack('<HHIIHH', wav[20:36])
    check(tag == 1 and channels == 1 and bits in (8, 16) and 8000 <= rate <= 48000,
          '%s: format %r' % (what, (tag, channels, rate, bits)))
    check(wav[36:40] == b'data', '%s: no data chunk' % what)
    size = struct.unpack('<I', wav[40:44])[0]
    check(size == len(wav) - 44, '%s: data size %d of %d bytes' % (what, size, len(wav) - 44))
    if bits == 8:
        levels = [b - 128 for b in wav[44:]]
    else:
        levels = [v >> 8 for (v,) in struct.iter_unpack('<h', wav[44:44 + size // 2 * 2])]
    seconds = len(levels) / rate
    check(shortest <= seconds <= longest, '%s: %.2f s of sound' % (what, seconds))
    # One sample in twenty far from silence (the built-in voice has about one in eight in
    # a word, fewer in a text with pauses).
    loud = sum(1 for v in levels if abs(v) > 16)
    check(loud > max(200, len(levels) // 20),
          '%s: silent (%d loud samples of %d)' % (what, loud, len(levels)))


class Server:
    def __init__(self, root, *options):
        self.root = root
        self.capture = os.path.join(root, 'capture')
        self.dir = os.path.join(root, 'server')
        bin_dir = os.path.join(root, 'bin')
        os.makedirs(self.capture)
        os.makedirs(bin_dir)
        with open(os.path.join(bin_dir, 'aplay'), 'w') as f:
            f.write(CAPTURE)
        os.chmod(os.path.join(bin_dir, 'aplay'), 0o755)
        # A file the texts below try to create, were the shell to run them.
        self.marker = os.path.join(root, 'ran')
        self.env = dict(os.environ, CAPTURE_DIR=self.capture, MARKER=self.marker,
                        PATH=bin_dir + os.pathsep + os.environ['PATH'])
        r = subprocess.run([os.path.join(REPO, 'scripts', 'speechd-private.sh'), 'start', self.dir]
                           + list(options), env=self.env, capture_output=True, text=True,
                           timeout=HANG_GUARD)
        check(r.returncode == 0, 'the private server did not start: %s' % r.stderr)
        self.address = r.stdout.strip()
        self.played = 0

    def stop(self):
        subprocess.run([os.path.join(REPO, 'scripts', 'speechd-private.sh'), 'stop', self.dir],
                       timeout=HANG_GUARD)

    def modules(self):
        """The output modules the server offers."""
        env = dict(self.env, SPEECHD_ADDRESS=self.address)
        r = subprocess.run(['spd-say', '-O'], env=env, capture_output=True, text=True,
                           timeout=HANG_GUARD)
        check(r.returncode == 0, 'spd-say -O: exit %d %r' % (r.returncode, r.stderr))
        return set(r.stdout.split()[2:])  # after the heading "OUTPUT MODULES"

    def say(self, *args):
        """spd-say with our module; the WAV the play command received."""
        env = dict(self.env, SPEECHD_ADDRESS=self.address)
        r = subprocess.run(['spd-say', '-w', '-o', 'sonara'] + list(args), env=env,
                           capture_output=True, timeout=HANG_GUARD)
        check(r.returncode == 0, 'spd-say %r: exit %d %r' % (args, r.returncode, r.stderr))
        path = os.path.join(self.capture, 'play-%d.wav' % self.played)
        deadline = time.monotonic() + HANG_GUARD
        while not os.path.exists(path):
            if time.monotonic() > deadline:
                log = os.path.join(self.dir, 'log', 'sonara.log')
                fail('spd-say %r: the play command got nothing; module log:\n%s' %
                     (args, open(log, errors='replace').read() if os.path.exists(log) else '-'))
            time.sleep(0.05)
        self.played += 1
        with open(path, 'rb') as f:
            return f.read()

    def reference(self, text, *args):
        """What `sonara say --wav` makes of the text, with the server's configuration."""
        out = os.path.join(self.root, 'reference.wav')
        env = dict(self.env, XDG_CONFIG_HOME=os.path.join(self.dir, 'config'))
        r = subprocess.run([SONARA, 'say', '--wav', out] + list(args), input=text.encode('utf-8'),
                           env=env, capture_output=True, timeout=HANG_GUARD)
        check(r.returncode == 0, 'sonara say %r: exit %d %r' % (text, r.returncode, r.stderr))
        with open(out, 'rb') as f:
            return f.read()


def check_rate_levels(root):
    """sonara say --rate: speech-dispatcher's -100..100 in bands of 40 around level 3."""
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(root, 'no-user-config'))

    def say(*args):
        r = subprocess.run([SONARA, 'say', '--wav', '-'] + list(args) + ['Vamos brincar'],
                           env=env, capture_output=True, timeout=HANG_GUARD)
        return r.returncode, r.stdout

    levels = {level: say('--level', str(level)) for level in range(1, 6)}
    check(len({wav for _, wav in levels.values()}) == 5, 'the five levels do not differ')
    for rate, level in (('-100', 1), ('-60', 1), ('-59', 2), ('-20', 2), ('-19', 3), ('0', 3),
                        ('19', 3), ('20', 4), ('59', 4), ('60', 5), ('100', 5), ('1000', 5),
                        ('-1e9', 1), ('12.5', 3), ('-35.00', 2)):
        check(say('--rate', rate) == levels[level], 'rate %s is not level %d' % (rate, level))
    for bad in ('', 'abc', '5x', 'nan', 'inf'):
        check(say('--rate', bad)[0] == 2, 'rate %r was taken' % bad)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def offered(root, config):
    """The modules a private server running a copy of the configuration offers."""
    server = Server(root, '--config', config)
    try:
        return server.modules()
    finally:
        server.stop()


def check_install(root):
    home = os.path.join(root, 'home')
    conf = os.path.join(home, 'speech-dispatcher')
    speechd_conf = os.path.join(conf, 'speechd.conf')
    env = dict(os.environ, XDG_CONFIG_HOME=home)
    script = os.path.join(REPO, 'scripts', 'install-speechd-module.sh')

    def run(*args):
        r = subprocess.run([script] + list(args), env=env, capture_output=True, text=True,
                           timeout=HANG_GUARD)
        check(r.returncode == 0, 'install-speechd-module.sh %r: %s' % (args, r.stderr))

    # A user without a configuration of their own: made from the system's, and the
    # modules the server found by itself stay beside ours.
    run('--sonara', SONARA)
    installed = read(speechd_conf)
    module_conf = read(os.path.join(conf, 'modules', 'sonara.conf'))
    check(SONARA.encode() in module_conf and b'@SONARA@' not in module_conf,
          'sonara.conf does not name the tool')
    run('--sonara', SONARA)
    check(read(speechd_conf) == installed, 'a second install changed speechd.conf')
    with_ours = offered(os.path.join(root, 'installed'), conf)
    check({'sonara', 'espeak-ng'} <= with_ours, 'modules after the install: %r' % with_ours)
    server = Server(os.path.join(root, 'installed-say'), '--config', conf)
    try:
        check(server.say('Olá') == server.reference('Olá'), 'the installed module did not speak')
    finally:
        server.stop()
    run('--uninstall')
    check(read(speechd_conf) == read('/etc/speech-dispatcher/speechd.conf'),
          'speechd.conf is not the system\'s after --uninstall')
    check(not os.path.exists(os.path.join(conf, 'modules', 'sonara.conf')), 'sonara.conf stayed')
    before = offered(os.path.join(root, 'uninstalled'), conf)
    check(with_ours == before | {'sonara'}, 'modules %r with ours, %r without' % (with_ours, before))

    # A user who lists modules: only ours is added, and taken out again.
    own = b'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\nDefaultModule espeak-ng\n'
    with open(speechd_conf, 'wb') as f:
        f.write(own)
    run()  # the tool of this build by default
    check(read(speechd_conf) == own + b'# Sonara voice: begin (scripts/install-speechd-module.sh; '
          b'--uninstall removes it)\nAddModule "sonara" "sd_generic" "sonara.conf"\n'
          b'# Sonara voice: end\n', 'own list: %r' % read(speechd_conf))
    check(offered(os.path.join(root, 'own'), conf) == {'espeak-ng', 'sonara'}, 'own list offered')
    run('--uninstall')
    check(read(speechd_conf) == own, 'own list after --uninstall: %r' % read(speechd_conf))


def main():
    if shutil.which('spd-say') is None or shutil.which('speech-dispatcher') is None:
        fail('speech-dispatcher is not installed (scripts/setup-deps.sh)')
    root = tempfile.mkdtemp(prefix='sonara-speechd-')
    server = None
    try:
        server = Server(root, '--sonara-module', SONARA)

        # Our voice answers, and what it says is what sonara says.
        ola = server.reference('Olá')
        check_speech(ola, 'sonara say "Olá" (is the voice built?)', 0.15, 3)
        check(server.say('Olá') == ola, 'spd-say "Olá" did not play sonara\'s "Olá"')

        # Shell syntax in the text is spoken as it is, never run; markup characters too.
        tricky = ('Diga \'oi\' e "tchau" $(touch $MARKER) `touch $MARKER`; touch $MARKER '
                  '| touch $MARKER \\ fim \'; touch $MARKER; echo \' 5 < 6 & 7 > 3 &amp;')
        got = server.say(tricky)
        check(not os.path.exists(server.marker), 'the text ran as a shell command')
        want = server.reference(tricky)
        check_speech(want, 'sonara say of the tricky text', 1, 60)
        check(got == want, 'the tricky text did not arrive whole')
        # A text starting with "-" is text, not an option of sonara.
        dash = '--wav /dev/null --level 9'
        check(server.say('--', dash) == server.reference(dash), 'a text starting with "-"')

        # The client's rate picks sonara's speed levels: fastest 5, slowest 1.
        sentence = 'Vamos brincar com as letras'
        fast, slow = server.say('-r', '100', sentence), server.say('-r', '-100', sentence)
        check(fast == server.reference(sentence, '--level', '5'), 'rate 100 is not level 5')
        check(slow == server.reference(sentence, '--level', '1'), 'rate -100 is not level 1')
        check(len(slow) > len(fast) * 3 // 2, 'slow %d bytes, fast %d' % (len(slow), len(fast)))

        # Portuguese text arrives in Windows-1252: the euro sign too.
        euro = 'Custa 5 € e não 5 $'
        check(server.say('-l', 'pt-BR', euro) == server.reference(euro), 'the euro sign was lost')
        server.stop()
        server = None

        check_rate_levels(root)
        check_install(os.path.join(root, 'install'))
    finally:
        if server:
            server.stop()
        shutil.rmtree(root, ignore_errors=True)
    print('ok')


main()
