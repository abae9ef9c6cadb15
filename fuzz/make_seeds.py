#!/usr/bin/env python3
"""Writes the synthetic part of the seed corpora (packets, calibration files, hand-over
requests, serial frames, AWG scripts) into corpus/<target>/. The data and settings files in
the corpora come from the program itself (kx48zz-tool capture against the simulator)."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
PREAMBLE = bytes([0xAA, 0x0F, 0x55] * 8 + [0x00])


def crc16(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def put(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode())


def packet(header, body):
    b = bytes([header]) + body
    c = crc16(b)
    return PREAMBLE + b + bytes([c & 0xFF, c >> 8])


def info_block(seq, mask, pre, post, decimation=1, trig=0x01, chan=0x80, acq=0, run=0x01, status=0,
               gain=14, roll=0):
    i = bytearray(160)
    i[0] = status
    i[1] = trig
    i[2] = chan
    i[4] = acq
    struct.pack_into("<IHH", i, 5, decimation, pre, post)
    i[13], i[14], i[15], i[16] = 0x70, 0x90, 0x70, 0x90
    i[32] = mask
    i[33] = run
    i[35] = seq
    i[38] = i[39] = gain
    struct.pack_into("<H", i, 40, roll)
    i[44], i[45] = 0x70, 0x95
    struct.pack_into("<H", i, 46, 0x23)
    return bytes(i)


def status_body(kind=0):
    s = bytearray(160)
    s[0] = kind
    s[1], s[2] = 12, 5
    struct.pack_into("<HH", s, 4, 0x23, 0x1234)
    struct.pack_into("<Q", s, 8, 0x0123456789ABCDEF)
    for off in (26, 90):
        tab = bytearray(64)
        struct.pack_into("<HH", tab, 0, 10000, 55000)
        c = crc16(tab[:62])
        tab[62], tab[63] = c & 0xFF, c >> 8
        s[off:off + 64] = tab
    struct.pack_into("<HH", s, 154, 49648, 7)
    return bytes(s)


def sine(n, cycles=4, amp=100):
    return bytes(int(128 + amp * math.sin(2 * math.pi * cycles * k / n)) & 0xFF for k in range(n))


def settings_bytes(flags, points, seq, pre=0, read_seed=5, choice=0, pre_div=5):
    return struct.pack("<BHBHBBbHHHH", flags, points, seq, pre, read_seed, choice, pre_div,
                       0x8000, 0x8000, 0xC000, 0x4000)


def packet_seeds():
    seq = 7
    n = 500
    # Raw stream: ready status, an A1 frame, an acknowledgement, noise between packets.
    a1 = packet(0x01, sine(n) + info_block(seq, 0x01, n // 2, n // 2))
    stream = packet(0x5A, status_body(2)) + b"\x11\x22" + a1 + packet(0x5A, status_body(3)) + a1[:-1] + b"\x00"
    put("fuzz_packet_stream", "raw_a1_status", settings_bytes(0x00, n, seq) + stream)
    # Records framed by the target: (header, length, body) with the body of a real packet.
    def rec(header, body):
        return bytes([header]) + struct.pack("<H", len(body)) + body
    both = bytes(b for k in range(n) for b in (sine(n)[k], sine(n, 7)[k]))
    digital = bytes((k * 37) & 0xFF for k in range(n // 4))
    a1a2d = bytearray()
    for k in range(n):
        a1a2d += bytes([sine(n)[k], sine(n, 3)[k]])
        if k % 2 == 1:
            a1a2d.append((k * 91) & 0xFF)
    cases = {
        "framed_a1_a2": (0x03, both + info_block(seq, 0x03, n // 2, n // 2)),
        "framed_a1_d12": (0x05, bytes(b for k in range(n) for b in
                                      ([sine(n)[k]] + ([digital[k // 4]] if k % 4 == 3 else [])))
                          + info_block(seq, 0x05, n // 2, n // 2)),
        "framed_all": (0x0F, bytes(a1a2d) + info_block(seq, 0x0F, n // 2, n // 2)),
        "framed_peak": (0x01, sine(n) + info_block(seq, 0x01, n // 4, n // 4, trig=0x81)),
        "framed_hires": (0x03, both + info_block(seq, 0x03, n // 4, n // 4, trig=0x41)),
        "framed_roll": (0x01, sine(n) + info_block(seq, 0x01, n // 2, n // 2, run=0x05, status=0x03,
                                                   roll=123, decimation=100000)),
        "framed_fast_digital": (0x15, sine(n) + bytes((k * 13) & 0xFF for k in range(n // 4))
                                + bytes(2 * n) + info_block(seq, 0x15, n // 2, n // 2, acq=0x01)),
        "framed_ets": (0x21, sine(4 * n, 16) + info_block(seq, 0x21, n // 2, n // 2, acq=0x02)),
        "framed_analyzer": (0x01, sine(n) + info_block(seq, 0x01, n // 2, n // 2, acq=0x04)),
    }
    for name, (header, body) in cases.items():
        flags = 0x01 | (0x20 if "ets" in name else 0) | (0x10 if "roll" in name else 0)
        put("fuzz_packet_stream", name,
            settings_bytes(flags, n, seq, choice=0x10) + rec(0x5A, status_body(3)) + rec(header, body))


def cal_seeds():
    def header(count, start, span):
        return struct.pack("<iii", count, start, span) + bytes(88)
    pts = [complex(math.cos(k / 3), math.sin(k / 5)) for k in range(8)]
    kxc = header(8, 10000, 100000000) + b"".join(struct.pack("<dd", p.real, p.imag) for p in pts)
    put("fuzz_network_cal", "eight_points.kxc", kxc)
    put("fuzz_network_cal", "one_point.kxc", header(1, 10000, 200000000) + struct.pack("<dd", 0.35, -0.1))
    kxo = header(8, 10000, 100000000)
    for t in range(3):
        kxo += b"".join(struct.pack("<dd", p.real * (t + 1), p.imag - t) for p in pts)
    put("fuzz_antenna_cal", "eight_points.kxo", kxo)
    put("fuzz_antenna_cal", "one_point.kxo",
        header(1, 10000, 100000000) + struct.pack("<dddddd", 1, 0, 0.5, 0.5, -1, 0))


def hand_over_seeds():
    def msg(name, count=1, raise_=0):
        b = name.encode()
        return b"F" + struct.pack("<iBI", count, raise_, len(b)) + b
    put("fuzz_hand_over", "query_then_file", b"\x03" + b"Q" + msg("/home/u/scope/run1.kxd"))
    put("fuzz_hand_over", "awg_raise", b"\x00" + msg("/tmp/ramp.KxG", 2, 1))
    put("fuzz_hand_over", "no_file", b"\x07" + msg("", 0, 1) + b"Q")
    put("fuzz_hand_over", "russian_name", b"\x01" + msg("/home/u/Осциллограммы/сигнал.kxs"))


def rs232_seeds():
    def uart(text, period_ps=1000000, baud=9600, bits=8, parity=None, stop=1, channel_bit=0):
        per_bit = int(1e12 / baud / period_ps)
        levels = [1] * (5 * per_bit)
        for ch in text.encode():
            frame = [0] + [(ch >> i) & 1 for i in range(bits)]
            if parity is not None:
                frame.append((sum(frame[1:]) + parity) & 1)
            frame += [1] * stop
            for v in frame:
                levels += [v] * per_bit
            levels += [1] * (2 * per_bit)
        return bytes((v << channel_bit) | (0x80 if v else 0) for v in levels)

    def head(baud, bits, prty, stop, rxd, txd, mask, count, period_ps):
        thr = struct.pack("<iBiiii", 0x8000, 2, 0x8000, 1000000, 1000000, 0x8000)
        return (struct.pack("<BIBBBBBBB", 1, baud, prty, bits, stop, 0, rxd, txd, 0)
                + struct.pack("<BBHHHII", mask, 0x3F, count, count, count, period_ps, period_ps) + thr * 2)

    s = uart("Hello", channel_bit=0)
    put("fuzz_rs232", "d1_9600_8n1", head(9600, 8, 0, 1, 3, 4, 0x3C, len(s), 1000000) + s)
    s = uart("KX", baud=115200, period_ps=1000000, bits=7, parity=0, stop=2, channel_bit=1)
    put("fuzz_rs232", "d2_115200_7e2", head(115200, 7, 1, 2, 4, 3, 0x3C, len(s), 1000000) + s)
    s = uart("A1", channel_bit=0)
    put("fuzz_rs232", "a1_analog", head(9600, 8, 0, 1, 1, 0, 0x01, len(s), 1000000) + s)


def awg_seeds():
    scripts = {
        "ramp.kxg": "#CLOCK 10\n#AMP 50\nloop1: OUT 100; DIFF -5 // ramp\nJMP loop1\n",
        "sine.kxg": "#SINF 50000\n#SINA 1000\n#SINPH 90\nstart: OUT 2048\n_SIN 40\nJMP start\n",
        "serial.kxg": "#BAUD 9600\n#DCOM 1\n#BITS 8\n#PRTY 2\n#SBITS 2\nmsg: 72; 105\n_COM 10\nSTOP 0\n",
        "loops.kxg": "#AUTOR 0\n#DC_OFFSET -1500\nREPEAT 10\n  OUTN 4095\n  DELAY 100\n  OUTN 0\nENDREP -3\n"
                     "sub: LOADN 7\nRET 0\nmain: CALL sub\nWAIT 1\nOUTAUX 1\nLOOP 0\n",
        "errors.kxg": "Label: OUT 1\nlabel: OUT 2\nJMP nowhere\nOUT 4096\n#BITS 4\nSTOP\n",
    }
    for name, text in scripts.items():
        put("fuzz_awg_script", name, text.replace("\n", "\r\n"))


if __name__ == "__main__":
    packet_seeds()
    cal_seeds()
    hand_over_seeds()
    rs232_seeds()
    awg_seeds()
