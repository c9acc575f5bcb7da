#!/usr/bin/env python3
"""orvane-server under load and faults, on loopback, bounded in count and time.

32 clients at once upload forwards built as the control builds them (HTTP/1.0, boundary
--K38Valet20020709, the "magic" index first) while others read history, saved sizes,
descriptors and files; some stop in the middle of a body, send a lying index, a body longer
than their Content-Length, an oversized or a chunked body, or trickle slowly. Then the server is
killed (SIGKILL) while uploads are in the middle of their bodies and started again on the same
data folder. Afterwards every forward answered "1" must be stored whole with its descriptor,
history row and mails, every other one must have left nothing, the database must pass its
integrity check, the server's peak memory must stay under the bound, and it must still answer.

  load_fault_test.py --server BIN --work DIR [--long] [--memory-mb N]

Only the Python standard library is used (Debian's python3).
"""
import argparse
import hashlib
import os
import random
import re
import shutil
import signal
import socket
import sqlite3
import subprocess
import sys
import threading
import time

DELIMITER = b"----K38Valet20020709"
US, RS, GS = b"\x1f", b"\x1e", b"\x1d"
CLIENTS = 32


class Generated:
    """File data made from a seed, so that 50 MB files need not be held to be sent or checked."""

    def __init__(self, seed, size):
        self.seed, self.size = seed, size

    def chunks(self, block=1 << 16):
        rng = random.Random(self.seed)
        left = self.size
        while left:
            n = min(block, left)
            yield rng.randbytes(n)
            left -= n

    def sha256(self):
        digest = hashlib.sha256()
        for chunk in self.chunks():
            digest.update(chunk)
        return digest.hexdigest()


def para_line(product, recipients, sources, works):
    line = b"sender" + US + product.encode()
    for i in range(5):
        name, mail = recipients[i] if i < len(recipients) else (b"", b"")
        line += US + name + US + mail
    line += US + "一行目".encode("cp932") + GS + b"two"
    listed = lambda files: US.join(name + US + str(size).encode() for name, size in files)
    return line + RS + listed(sources) + RS + listed(works) + b"\r\n"


def upload_body(files):
    """The body as segments (bytes or Generated): index, file parts, closing delimiter."""
    head = DELIMITER + b'\r\nContent-Disposition: form-data; name="magic"\r\n\r\n'
    sizes = [len(data) if isinstance(data, bytes) else data.size for _, data in files]
    pair = lambda a, b: b"%09d %09d " % (a, b)
    index = pair(len(files), sum(sizes))
    offset = len(head) + 20 * (len(files) + 1)
    parts = []
    for i, ((name, data), size) in enumerate(zip(files, sizes), 1):
        part_head = (b"\r\n" + DELIMITER + b'\r\nContent-Disposition: form-data; name="xfile%03d"'
                     % i + b'; filename="' + name + b'"\r\nContent-Type: application/octet-stream'
                     b"\r\n\r\n")
        offset += len(part_head)
        index += pair(offset, size)
        offset += size
        parts += [part_head, data]
    return [head + index] + parts + [b"\r\n" + DELIMITER + b"--\r\n"]


def body_length(segments):
    return sum(len(s) if isinstance(s, bytes) else s.size for s in segments)


def request_head(port, length, extra=b""):
    return (b"POST /upload HTTP/1.0\r\nHost: 127.0.0.1:%d\r\nUser-Agent: Zorvex/1.0\r\n"
            b"Content-Type: multipart/form-data; boundary=--K38Valet20020709\r\n" % port + extra +
            b"Content-Length: %d\r\n\r\n" % length)


def exchange(port, head, segments, stop_after=None, pause=0.0, piece=1 << 16, halfway=None,
             timeout=120):
    """Sends head and body; returns (status, body), or (None, None) when no answer came.
    stop_after: close after that many body bytes. pause: seconds between pieces (a trickle).
    halfway: (event_reached, event_release) to stop in the middle of the body until released."""
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    sent = 0
    total = body_length(segments)
    try:
        sock.sendall(head)
        for segment in segments:
            pieces = ([segment[i:i + piece] for i in range(0, len(segment), piece)]
                      if isinstance(segment, bytes) else segment.chunks(piece))
            for data in pieces:
                if stop_after is not None and sent + len(data) > stop_after:
                    sock.sendall(data[:stop_after - sent])
                    return None, None
                if halfway and sent + len(data) > total // 2:
                    halfway[0].set()
                    halfway[1].wait()
                    return None, None
                sock.sendall(data)
                sent += len(data)
                if pause:
                    time.sleep(pause)
        pieces = []
        while True:
            data = sock.recv(1 << 16)
            if not data:
                break
            pieces.append(data)
        received = b"".join(pieces)
    except OSError:
        return None, None
    finally:
        sock.close()
    match = re.match(rb"HTTP/1\.\d (\d{3})", received)
    if not match:
        return None, None
    return int(match.group(1)), received.partition(b"\r\n\r\n")[2]


def get(port, path, method=b"GET", body=b""):
    request = method + b" " + path + b" HTTP/1.0\r\nHost: 127.0.0.1:%d\r\n" % port
    if method == b"POST":
        request += (b"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: %d\r\n"
                    % len(body))
    status, answer = exchange(port, request + b"\r\n", [body] if body else [])
    return status, answer


class Server:
    def __init__(self, binary, data, max_upload):
        self.binary, self.data, self.max_upload = binary, data, max_upload
        self.process = None
        self.port = None
        self.peak_kb = 0

    def start(self):
        # The request log goes to a file beside the data folder, kept across the restart.
        log = open(os.path.join(os.path.dirname(self.data), "server.log"), "ab")
        start_at = log.tell()
        self.process = subprocess.Popen(
            [self.binary, "--data", self.data, "--listen", "127.0.0.1:0",
             "--max-upload-bytes", str(self.max_upload)],
            stdout=log, stderr=subprocess.STDOUT, env=dict(os.environ, TZ="UTC"))
        log.close()
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and self.process.poll() is None:
            with open(os.path.join(os.path.dirname(self.data), "server.log"), "rb") as text:
                text.seek(start_at)
                match = re.search(rb"listening on http://127\.0\.0\.1:(\d+)", text.read())
            if match:
                self.port = int(match.group(1))
                return
            time.sleep(0.05)
        raise SystemExit("the server did not start")

    def sample_memory(self):
        try:
            with open("/proc/%d/status" % self.process.pid) as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        self.peak_kb = max(self.peak_kb, int(line.split()[1]))
        except OSError:
            pass

    def kill(self):
        self.sample_memory()
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()

    def stop(self):
        self.sample_memory()
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=30)


class Run:
    def __init__(self, args):
        self.args = args
        self.lock = threading.Lock()
        self.answered = {}   # product id -> (status, body)
        self.forwards = {}   # product id -> what was sent
        self.failures = []
        self.serial = 0
        self.rng = random.Random(23)

    def fail(self, text):
        with self.lock:
            self.failures.append(text)

    def next_product(self, kind):
        with self.lock:
            self.serial += 1
            return "P-%s-%d" % (kind, self.serial)

    def make_forward(self, kind, sizes):
        product = self.next_product(kind)
        serial = product.rsplit("-", 1)[1]
        recipients = [("受取人%d" % i).encode("cp932") for i in range(1 + len(sizes) % 2)]
        recipients = [(name, b"r%d@example.com" % i) for i, name in enumerate(recipients)]
        files, sources, works = [], [], []
        for i, size in enumerate(sizes):
            # Some work names are Japanese, and "ソ" ends in the byte 0x5C.
            work = ("ソ録音%s-%d.tta" if i % 2 else "w%s-%d.bin") % (serial, i)
            work = work.encode("cp932")
            files.append((b"C:\\Temp\\" + work, Generated("%s/%d" % (product, i), size)))
            sources.append((work, size))
            works.append((work, size))
        para = para_line(product, recipients, sources, works)
        files.insert(0, (b"C:\\Temp\\OrvaneFileTrans.para", para))
        forward = {"product": product, "recipients": recipients, "files": files[1:],
                   "body": upload_body(files)}
        with self.lock:
            self.forwards[product] = forward
        return forward

    def record(self, forward, status, body):
        with self.lock:
            self.answered[forward["product"]] = (status, body)

    def upload(self, port, kind, sizes, expected, **options):
        forward = self.make_forward(kind, sizes)
        segments = options.pop("mutate", lambda s: s)(forward["body"])
        length = body_length(segments)
        head_length = options.pop("announce", length)
        status, body = exchange(port, request_head(port, head_length), segments, **options)
        self.record(forward, status, body)
        if expected is not None and (status, body) != expected:
            if not (expected[0] == status and expected[1] is None):
                self.fail("%s: expected %r, got %r %r" % (kind, expected, status, body))
        return forward

    def sizes(self):
        big = 50 << 20 if self.args.long else 16 << 20
        choice = self.rng.random()
        if choice < 0.1:
            return [big]
        if choice < 0.4:
            return [self.rng.randint(1 << 20, big // 2)]
        return [self.rng.randint(1000, 200_000) for _ in range(self.rng.randint(1, 3))]

    def read_back(self, port):
        """What other clients do meanwhile: history, saved size, a descriptor and its files."""
        with self.lock:
            stored = [p for p, answer in self.answered.items() if answer == (200, b"1")]
        if not stored:
            get(port, b"/savesize", b"POST", b"productid=P-none")
            return
        product = self.rng.choice(stored)
        for path in (b"/history", b"/savesize"):
            status, _ = get(port, path, b"POST", b"productid=" + product.encode())
            if status != 200:
                self.fail("%s %s answered %r" % (path, product, status))
        self.check_descriptor(port, product, fetch=True)

    def check_descriptor(self, port, product, fetch):
        forward = self.forwards[product]
        ids = self.ids_of(product)
        if len(ids) != 1:
            self.fail("%s: %d rows" % (product, len(ids)))
            return
        status, descriptor = get(port, b"/ofts/%s.ofts" % ids[0].encode())
        lines = descriptor.split(b"\r\n")[:-1] if status == 200 else []
        if len(lines) != len(forward["files"]):
            self.fail("%s: descriptor %r %r" % (product, status, descriptor))
            return
        if not fetch:
            return
        line = self.rng.choice(lines)
        path = b"/" + line.split(b"/", 3)[3]
        name = line.rsplit(b"/", 1)[1]
        data = next(d for n, d in forward["files"] if n.endswith(b"\\" + name))
        quoted = b"".join(b"%%%02X" % c for c in name.decode("cp932").encode())
        status, content = get(port, path[:-len(name)] + quoted)
        if status != 200 or hashlib.sha256(content).hexdigest() != data.sha256():
            self.fail("%s: file %r came back as %r, %d bytes" % (product, name, status, len(content)))

    def ids_of(self, product):
        db = sqlite3.connect("file:%s?mode=ro" % os.path.join(self.args.work, "data",
                                                               "forwards.db"), uri=True, timeout=30)
        try:
            return [row[0] for row in db.execute("SELECT id FROM forwards WHERE product_id = ?",
                                                 (product,))]
        finally:
            db.close()


def load_phase(run, server):
    """32 clients at once, each taking the next job until none is left."""
    port = server.port
    over = lambda: run.args.max_upload + 1
    jobs = []
    for i in range(run.args.forwards):
        jobs.append(lambda: run.upload(port, "good", run.sizes(), (200, b"1")))
        if i % 2:
            jobs.append(lambda: run.read_back(port))
    faults = [
        lambda: run.upload(port, "cut", run.sizes(), (None, None),
                           stop_after=run.rng.randint(100, 5000)),
        lambda: run.upload(port, "lying", [3000, 5000], (200, b"-4"),
                           mutate=lie_about_first_offset),
        lambda: run.upload(port, "longer", [40_000], (400, None), announce=39_000),
        lambda: announced_too_much(run, port, "oversize", lambda n: request_head(port, over()),
                                   413),
        lambda: announced_too_much(run, port, "chunked", lambda n: request_head(port, 0).replace(
            b"Content-Length: 0", b"Transfer-Encoding: chunked\r\nX-Chunk: %x" % (300 << 20)),
                                   411),
        lambda: run.upload(port, "trickle", [20_000, 6000], (200, b"1"), piece=1024,
                           pause=run.args.trickle_pause),
    ]
    for i in range(run.args.faults):
        jobs.insert((i * 7) % (len(jobs) + 1), faults[i % len(faults)])
    next_job = iter(jobs)
    lock = threading.Lock()

    def client():
        while True:
            with lock:
                job = next(next_job, None)
            if job is None:
                return
            try:
                job()
            except Exception as e:  # a client's own failure is a finding, not a crash
                run.fail("client: %r" % e)
            server.sample_memory()

    threads = [threading.Thread(target=client) for _ in range(CLIENTS)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()


def lie_about_first_offset(segments):
    """The first file's offset in the index is off by one."""
    index = segments[0]
    at = index.index(b"\r\n\r\n") + 4 + 20
    return [index[:at] + b"%09d" % (int(index[at:at + 9]) + 1) + index[at + 9:]] + segments[1:]


def announced_too_much(run, port, kind, head_of, expected):
    """Sends a head that announces what the server must refuse, and the start of the body,
    then waits for the answer."""
    forward = run.make_forward(kind, [2000])
    status, body = exchange(port, head_of(body_length(forward["body"])), [forward["body"][0]])
    run.record(forward, status, body)
    if status != expected:
        run.fail("%s: expected %d, got %r" % (kind, expected, status))


def kill_phase(run, server):
    """Uploads stop in the middle of their bodies, the server is killed and started again."""
    reached, release = [], threading.Event()
    threads = []
    for sizes in ([run.args.kill_size], [300_000, 4000], [2 << 20]):
        event = threading.Event()
        reached.append(event)
        threads.append(threading.Thread(target=run.upload, args=(
            server.port, "killed", sizes, None), kwargs={"halfway": (event, release)}))
    for thread in threads:
        thread.start()
    for event in reached:
        event.wait(60)
    time.sleep(0.3)  # the server has taken what was sent
    staged = sum(len(files) for _, _, files in os.walk(os.path.join(run.args.work, "data",
                                                                    "staging")))
    server.kill()
    release.set()
    for thread in threads:
        thread.join()
    # What a kill between storing a forward's files and its row would leave.
    orphan = "%032x" % random.getrandbits(128)
    os.makedirs(os.path.join(run.args.work, "data", "files", orphan))
    open(os.path.join(run.args.work, "data", "files", orphan, "0"), "wb").write(b"orphan")
    open(os.path.join(run.args.work, "data", "outbox", orphan + "-0.txt"), "wb").write(b"mail")
    server.start()
    return staged, orphan


def check_afterwards(run, server, orphan):
    data = os.path.join(run.args.work, "data")
    db = sqlite3.connect(os.path.join(data, "forwards.db"), timeout=30)
    integrity = db.execute("PRAGMA integrity_check").fetchone()[0]
    if integrity != "ok":
        run.fail("integrity_check: " + integrity)
    stored_bytes = 0
    stored = [p for p, answer in run.answered.items() if answer == (200, b"1")]
    for product, answer in run.answered.items():
        rows = db.execute("SELECT id FROM forwards WHERE product_id = ?", (product,)).fetchall()
        if answer != (200, b"1"):
            if rows:
                run.fail("%s answered %r left a row" % (product, answer))
            continue
        if len(rows) != 1:
            run.fail("%s answered 1 has %d rows" % (product, len(rows)))
            continue
        forward_id = rows[0][0]
        forward = run.forwards[product]
        for position, (_, generated) in enumerate(forward["files"]):
            path = os.path.join(data, "files", forward_id, str(position))
            digest = hashlib.sha256()
            with open(path, "rb") as stored_file:
                for chunk in iter(lambda: stored_file.read(1 << 20), b""):
                    digest.update(chunk)
            if digest.hexdigest() != generated.sha256():
                run.fail("%s file %d differs" % (product, position))
            stored_bytes += generated.size
        for i in range(len(forward["recipients"])):
            mail = os.path.join(data, "outbox", "%s-%d.txt" % (forward_id, i))
            if not os.path.exists(mail) or b"/ofts/%s.ofts" % forward_id.encode() not in open(
                    mail, "rb").read():
                run.fail("%s: mail %d missing" % (product, i))
        status, history = get(server.port, b"/history", b"POST", b"productid=" + product.encode())
        if status != 200 or history.count(b"\r\n") != 1 or forward["recipients"][0][1] not in history:
            run.fail("%s: history %r %r" % (product, status, history))
        run.check_descriptor(server.port, product, fetch=False)
    db.close()
    file_folders = set(os.listdir(os.path.join(data, "files")))
    if len(file_folders) != len(stored) or orphan in file_folders:
        run.fail("files/ holds %d folders for %d forwards" % (len(file_folders), len(stored)))
    mails = len(os.listdir(os.path.join(data, "outbox")))
    expected_mails = sum(len(run.forwards[p]["recipients"]) for p in stored)
    if mails != expected_mails:
        run.fail("outbox holds %d mails for %d" % (mails, expected_mails))
    staging = [f for _, _, files in os.walk(os.path.join(data, "staging")) for f in files]
    if staging:
        run.fail("staging still holds %r" % staging)
    return len(stored), stored_bytes


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--server", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--long", action="store_true", help="files up to 50 MB, more forwards")
    parser.add_argument("--memory-mb", type=int, default=0,
                        help="bound of the server's peak resident memory (default 200 MB)")
    args = parser.parse_args()
    args.forwards = 160 if args.long else 96
    args.faults = 36 if args.long else 18
    args.kill_size = (50 if args.long else 24) << 20
    args.max_upload = 64 << 20
    args.trickle_pause = 0.1 if args.long else 0.04
    memory_bound = args.memory_mb or 200

    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    server = Server(args.server, os.path.join(args.work, "data"), args.max_upload)
    run = Run(args)
    start = time.monotonic()
    server.start()
    load_phase(run, server)
    staged, orphan = kill_phase(run, server)
    # Still answers, and takes a forward after the restart.
    run.upload(server.port, "after", [70_000], (200, b"1"))
    forwards, stored_bytes = check_afterwards(run, server, orphan)
    stop_code = server.stop()
    elapsed = time.monotonic() - start
    if stop_code != 0:
        run.fail("server stopped with %d" % stop_code)
    peak_mb = server.peak_kb / 1024
    if peak_mb > memory_bound:
        run.fail("peak memory %.0f MB above the bound of %d MB" % (peak_mb, memory_bound))
    answers = {}
    for status, body in run.answered.values():
        key = "%s %s" % (status, body.decode(errors="replace")[:20] if body else "")
        answers[key] = answers.get(key, 0) + 1
    print("forwards stored: %d, bytes stored: %d (%.1f MB)" % (forwards, stored_bytes,
                                                               stored_bytes / 1e6))
    print("answers: %s" % ", ".join("%s x%d" % item for item in sorted(answers.items())))
    print("staged when killed: %d files; peak memory: %.0f MB (bound %d MB); time: %.1f s"
          % (staged, peak_mb, memory_bound, elapsed))
    for failure in run.failures:
        print("FAIL:", failure)
    if run.failures:
        print("the data folder and server.log are kept in", args.work)
        return 1
    shutil.rmtree(args.work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
