#!/usr/bin/env python3
"""Stores a forward on a test orvane-server, as the upload control sends one, and fetches its
download descriptor: two recordings (TTA files that ffmpeg made from WAV files), a text file
with Japanese names and one whose name holds a blank.

    seed_forward.py STATE_DIR

STATE_DIR is the server fixture's state folder; the script writes STATE_DIR/seed/: the original
WAV files (under their final names) and download.ofts, the descriptor the server serves."""
import os
import socket
import subprocess
import sys
import urllib.request

state = sys.argv[1]
seed = os.path.join(state, "seed")
os.makedirs(seed, exist_ok=True)
with open(os.path.join(state, "url")) as f:
    url = f.read().strip()


def sjis(text):
    return text.encode("cp932")


def wave_and_tta(stem, frequency):
    wav = os.path.join(seed, stem + ".wav")
    tta = os.path.join(seed, stem + ".tta")
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    f"sine=frequency={frequency}:sample_rate=44100:duration=2", "-ac", "2",
                    "-c:a", "pcm_s16le", wav], check=True)
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-i", wav, "-c:a", "tta", tta],
                   check=True)
    with open(tta, "rb") as f:
        data = f.read()
    os.remove(tta)
    return data


files = [("録音1", "tta", wave_and_tta("録音1", 440)), ("B", "TTA", wave_and_tta("B", 880)),
         ("メモ", "txt", "本文です\r\n".encode("cp932")), ("a b", "txt", b"blank\r\n")]
US, RS = b"\x1f", b"\x1e"
sources = US.join(sjis(f"{stem}.{'wav' if ext.lower() == 'tta' else ext}") + US + b"%d" % len(data)
                  for stem, ext, data in files)
# The work files are listed without blanks, as the server compares them.
works = US.join(sjis(f"{stem}.{ext}".replace(" ", "")) + US + b"%d" % len(data)
                for stem, ext, data in files)
para = (sjis("送信者") + US + b"P-download-seed" + US + sjis("受信者") + US + b"r@example.com" +
        US * 8 + US + b"m" + RS + sources + RS + works + b"\r\n")

parts = [(b"C:\\Temp\\OrvaneFileTrans.para", para)]
parts += [(b"C:\\Temp\\" + sjis(f"{stem}.{ext}"), data) for stem, ext, data in files]
delimiter = b"----K38Valet20020709"
heads = [b"\r\n" + delimiter + b"\r\nContent-Disposition: form-data; name=\"xfile%03d\"; filename=\""
         % (i + 1) + name + b"\"\r\nContent-Type: application/octet-stream\r\n\r\n"
         for i, (name, _) in enumerate(parts)]
sizes = [len(data) for _, data in parts]
magic = (delimiter + b"\r\nContent-Disposition: form-data; name=\"magic\"\r\n\r\n" +
         b"%09d %09d " % (len(parts), sum(sizes)))
offset = len(magic) + len(b"%09d %09d " % (0, 0)) * len(parts)
for head, size in zip(heads, sizes):
    offset += len(head)
    magic += b"%09d %09d " % (offset, size)
    offset += size
body = magic + b"".join(h + d for h, (_, d) in zip(heads, parts)) + b"\r\n" + delimiter + b"--\r\n"
host = url[len("http://"):]
with socket.create_connection(("127.0.0.1", int(host.rsplit(":", 1)[1]))) as sock:
    sock.sendall(b"POST /upload HTTP/1.0\r\nHost: " + host.encode() +
                 b"\r\nContent-Type: multipart/form-data; boundary=--K38Valet20020709\r\n"
                 b"Content-Length: %d\r\n\r\n" % len(body) + body)
    answer = b""
    while chunk := sock.recv(65536):
        answer += chunk
if answer.split(b"\r\n\r\n", 1)[1].strip() != b"1":
    sys.exit("upload refused: %r" % answer)

outbox = os.path.join(state, "data", "outbox")
forward_id = sorted(os.listdir(outbox))[0].split("-")[0]
with urllib.request.urlopen(f"{url}/ofts/{forward_id}.ofts") as reply:
    descriptor = reply.read()
with open(os.path.join(seed, "download.ofts"), "wb") as f:
    f.write(descriptor)
print(descriptor.decode("cp932"))
