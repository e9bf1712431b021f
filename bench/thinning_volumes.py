#!/usr/bin/python3
"""Writes the three benchmark volumes of the thinning benchmark.

usage: thinning_volumes.py DIR

  ball.vol    a solid ball of radius 40 in a 100^3 array
  tubes.vol   random thick tubes in 256 x 256 x 128
  blobs.vol   thresholded smoothed noise in 192^3

Each file holds the dimensions M, N, P as three little-endian int64, then the
M*N*P voxels as bytes (0 or 1) in column-major order. Fixed seeds: the same
volumes on every run. load_volume() reads a file back as a NumPy array.
"""
import os
import sys

import numpy as np
from scipy import ndimage

NAMES = ("ball", "tubes", "blobs")


def ball():
    r = np.arange(100) - 49.5
    x, y, z = np.meshgrid(r, r, r, indexing="ij")
    return x * x + y * y + z * z <= 40.0 ** 2


def tubes():
    shape = (256, 256, 128)
    rng = np.random.default_rng(7)
    grid = np.stack(np.meshgrid(*[np.arange(n, dtype=np.float32) for n in shape], indexing="ij"), axis=-1)
    volume = np.zeros(shape, dtype=bool)
    for _ in range(24):
        a = rng.uniform(0, shape).astype(np.float32)
        b = rng.uniform(0, shape).astype(np.float32)
        radius = rng.uniform(4, 9)
        d = b - a
        t = np.clip(((grid - a) @ d) / float(d @ d), 0, 1)
        nearest = a + t[..., None] * d
        volume |= ((grid - nearest) ** 2).sum(axis=-1) <= radius * radius
    return volume


def blobs():
    rng = np.random.default_rng(11)
    field = ndimage.gaussian_filter(rng.standard_normal((192, 192, 192)), sigma=4)
    return field > np.percentile(field, 70)


def clear_outer_layer(volume):
    volume = volume.copy()
    volume[[0, -1], :, :] = False
    volume[:, [0, -1], :] = False
    volume[:, :, [0, -1]] = False
    return volume


def save_volume(path, volume):
    with open(path, "wb") as f:
        f.write(np.array(volume.shape, dtype="<i8").tobytes())
        f.write(np.asarray(volume, dtype=np.uint8).tobytes(order="F"))


def load_volume(path):
    with open(path, "rb") as f:
        shape = tuple(int(n) for n in np.frombuffer(f.read(24), dtype="<i8"))
        data = np.frombuffer(f.read(), dtype=np.uint8)
    return data.reshape(shape, order="F").astype(bool)


def write_all(directory):
    os.makedirs(directory, exist_ok=True)
    for name, make in (("ball", ball), ("tubes", tubes), ("blobs", blobs)):
        path = os.path.join(directory, name + ".vol")
        if not os.path.exists(path):
            save_volume(path, clear_outer_layer(make()))
    return [os.path.join(directory, name + ".vol") for name in NAMES]


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for path in write_all(sys.argv[1]):
        v = load_volume(path)
        print(f"{path}: {v.shape[0]}x{v.shape[1]}x{v.shape[2]}, {int(v.sum())} object voxels")
