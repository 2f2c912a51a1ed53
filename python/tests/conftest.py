"""Fixtures of the Python package's tests: a fresh demo plant per test."""

import pytest

import fabrikon


@pytest.fixture
def plant(tmp_path):
    """The path of a new demo database in the test's own folder."""
    path = tmp_path / "plant.db"
    fabrikon.create_database(path, demo=True)
    return path


@pytest.fixture
def orders(plant):
    """The outsourcing orders (card om01) of the demo plant, as user demo on 2024-03-10."""
    with fabrikon.Voucher(plant, "om01", "demo", "演示员", "2024-03-10") as voucher:
        yield voucher
