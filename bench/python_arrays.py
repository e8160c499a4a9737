"""Time a million-face mesh handed from a document to NumPy and back.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_arrays.py [repetitions]

Each repetition makes a new document, adds a 999,696-face torus made here
with NumPy (Mesh.from_arrays, then Document.add) and reads it back
(Document.mesh with its vertices and faces). The first repetition also pays
for the memory the process takes from the system for the first time.
"""
import sys
import time

import numpy as np

import orvexbox


def torus(n=708, m=706, major=2.0, minor=1.0):
    i, j = np.meshgrid(np.arange(n), np.arange(m), indexing="ij")
    u, v = 2 * np.pi * i / n, 2 * np.pi * j / m
    vertices = np.stack([(major + minor * np.cos(v)) * np.cos(u),
                         (major + minor * np.cos(v)) * np.sin(u),
                         minor * np.sin(v)], -1).reshape(-1, 3)
    a, b = i * m + j, ((i + 1) % n) * m + j
    c, d = ((i + 1) % n) * m + (j + 1) % m, i * m + (j + 1) % m
    faces = np.concatenate([np.stack([a, b, c], -1).reshape(-1, 3),
                            np.stack([a, c, d], -1).reshape(-1, 3)]).astype(np.int32)
    return vertices, faces


def main():
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 6
    vertices, faces = torus()
    print(f"{len(vertices)} vertices, {len(faces)} faces")
    for _ in range(repetitions):
        doc = orvexbox.new()
        t0 = time.perf_counter()
        mesh = orvexbox.Mesh.from_arrays(vertices, faces)
        t1 = time.perf_counter()
        doc.add(mesh)
        t2 = time.perf_counter()
        back = doc.mesh(0)
        assert back.vertices.shape == vertices.shape and back.faces.shape == faces.shape
        t3 = time.perf_counter()
        print(f"to the document: from_arrays {1e3 * (t1 - t0):.1f} ms + add "
              f"{1e3 * (t2 - t1):.1f} ms = {1e3 * (t2 - t0):.1f} ms; "
              f"to NumPy: mesh {1e3 * (t3 - t2):.1f} ms")


if __name__ == "__main__":
    main()
