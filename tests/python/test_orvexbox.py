"""The orvexbox module end to end: documents, commands, arrays, snapshots."""
import os
import threading

import numpy as np
import pytest

import orvexbox

SAMPLES = os.environ.get(
    "ORVEX_SAMPLES_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "samples"))
ICOSAHEDRON = os.path.join(SAMPLES, "icosahedron.wrl")


@pytest.fixture
def doc():
    return orvexbox.open(ICOSAHEDRON)


def test_run_undo_redo_save_round_trip(doc, tmp_path):
    lines = []
    doc.on_status = lines.append
    assert doc.objects == [(8, 12, 20)]
    status = doc.run("Algorithms/Surface subdivision/Loop/Std")
    assert "80" in status and lines[-1] == status
    assert doc.objects == [(8, 42, 80)]
    doc.undo()
    assert doc.objects == [(8, 12, 20)]
    doc.redo()
    out = tmp_path / "loop.wrl"
    doc.save(str(out))
    assert orvexbox.open(str(out)).objects == [(8, 42, 80)]


def test_fields_by_label_and_keyword(doc):
    doc.run("Loop/Multiple...", {"Iterations": 2}, Move_boundaries=True)
    assert doc.objects[0][2] == 320


@pytest.mark.parametrize("command, fields", [
    ("No/Such command", {}),
    ("Loop/Multiple...", {"Iterations": 0}),       # outside the field's range
    ("Loop/Multiple...", {"No such field": 1}),
    ("Loop/Multiple...", {"Move boundaries": "maybe"}),
])
def test_command_errors(doc, command, fields):
    with pytest.raises(orvexbox.CommandError):
        doc.run(command, fields)
    assert doc.objects == [(8, 12, 20)]


def test_colour_chooser_answered_by_a_tuple(doc):
    fields = {"Nb vertices": 3, "Valence": 5}
    with pytest.raises(orvexbox.CommandError, match="cancelled"):
        doc.run("Color mesh/Faces/# vertex valence", fields)
    doc.run("Color mesh/Faces/# vertex valence", fields, Color=(255, 0, 0))
    assert (doc.mesh(0).face_colors == [255, 0, 0]).all(axis=1).any()


def test_undo_without_history_is_an_error(doc):
    with pytest.raises(orvexbox.CommandError):
        doc.undo()


@pytest.mark.parametrize("content, error", [
    (None, FileNotFoundError),
    ("OFF\n3 1 0\n0 0 0\n", ValueError),   # ends before its vertices
    ("OFF\n-3 1 0\n", ValueError),          # negative count
])
def test_bad_files(tmp_path, content, error):
    path = tmp_path / "bad.off"
    if content is not None:
        path.write_text(content)
    with pytest.raises(error):
        orvexbox.open(str(path))


def test_arrays_match_the_scene(doc):
    doc.run("Loop/Std")
    mesh = doc.mesh(0)
    assert mesh.vertices.dtype == np.float64 and mesh.vertices.shape == (42, 3)
    assert mesh.faces.dtype == np.int32 and mesh.faces.shape == (80, 3)
    assert mesh.face_colors.dtype == np.uint8 and mesh.face_colors.shape == (80, 3)
    assert mesh.vertex_colors.shape == (42, 3) and mesh.face_offsets is None
    assert mesh.faces.min() == 0 and mesh.faces.max() == 41
    # every edge of the closed subdivided sphere is shared by two faces
    edges = np.sort(mesh.faces[:, [0, 1, 1, 2, 2, 0]].reshape(-1, 2), axis=1)
    assert (np.unique(edges, axis=0, return_counts=True)[1] == 2).all()
    with pytest.raises(IndexError):
        doc.mesh(1)


def test_polygon_mesh_arrays(tmp_path):
    path = tmp_path / "quad_and_triangle.obj"
    path.write_text("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nf 1 2 3 4\nf 2 5 3\n")
    mesh = orvexbox.open(str(path)).mesh(0)
    assert mesh.type == 11 and mesh.faces.dtype == np.int32
    assert mesh.face_offsets.tolist() == [0, 4, 7]
    assert mesh.faces.tolist() == [0, 1, 2, 3, 1, 4, 2]
    assert mesh.face_colors.shape == (2, 3) and mesh.vertices.shape == (5, 3)


def test_from_arrays_round_trip():
    doc = orvexbox.new()
    source = orvexbox.open(ICOSAHEDRON).mesh(0)
    mesh = orvexbox.Mesh.from_arrays(source.vertices, source.faces.astype(np.int64))
    assert doc.add(mesh) == 0
    assert doc.objects == [(8, 12, 20)]
    assert np.allclose(doc.mesh(0).vertices, source.vertices, atol=1e-6)
    doc.run("Loop/Std")
    assert doc.objects == [(8, 42, 80)]


def test_added_mesh_is_complete_when_the_scene_is_used(tmp_path):
    # adjacency and normals wait for the next call that uses the scene: a
    # snapshot must show the mesh as the same mesh read from a file shows it
    source = orvexbox.open(ICOSAHEDRON).mesh(0)
    doc = orvexbox.new()
    doc.add(orvexbox.Mesh.from_arrays(source.vertices, source.faces))
    assert doc.mesh(0).faces.tolist() == source.faces.tolist()
    shot = doc.snapshot(width=96, height=72)
    saved = tmp_path / "added.wrl"
    doc.save(str(saved))
    assert np.array_equal(orvexbox.open(str(saved)).snapshot(width=96, height=72), shot)


TRIANGLE = np.array([[0, 0, 0], [1, 0, 0], [0, 1, 0]], dtype=np.float64)


@pytest.mark.parametrize("vertices, faces", [
    (TRIANGLE[:, :2], [[0, 1, 2]]),                            # shape of vertices
    (TRIANGLE, np.array([0, 1, 2])),                           # shape of faces
    (TRIANGLE.astype(np.int32), np.array([[0, 1, 2]])),        # dtype of vertices
    (TRIANGLE, np.array([[0.0, 1.0, 2.0]])),                   # dtype of faces
    (TRIANGLE.tolist(), np.array([[0, 1, 2]])),                # not an array
    (TRIANGLE, np.array([[0, 1, 3]])),                         # index past the end
    (TRIANGLE, np.array([[0, -1, 2]])),                        # negative index
    (TRIANGLE, np.array([[0, 1, 1]])),                         # vertex used twice
    (np.array([[0, 0, 0], [np.nan, 0, 0], [0, 1, 0]]), np.array([[0, 1, 2]])),
])
def test_from_arrays_refuses_bad_input(vertices, faces):
    with pytest.raises(ValueError):
        orvexbox.Mesh.from_arrays(vertices, np.asarray(faces) if isinstance(faces, list) else faces)


def test_snapshot_without_display(doc, tmp_path):
    image = doc.snapshot(width=160, height=120)
    assert image.shape == (120, 160, 3) and image.dtype == np.uint8
    assert (image.max(axis=2) > 0).sum() > 100
    picture = tmp_path / "shot.png"
    assert doc.snapshot(str(picture), 64, 48) is None
    assert picture.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
    with pytest.raises(ValueError):
        doc.snapshot(width=0)


def test_commands_list_loop_std():
    commands = orvexbox.commands()
    loop = [c for c in commands if c["path"] == "Algorithms/Surface subdivision/Loop/Std"]
    assert len(loop) == 1 and loop[0]["available"]
    assert len({c["id"] for c in commands}) == len(commands)
    multiple = next(c for c in commands if c["path"].endswith("Loop/Multiple..."))
    iterations = next(f for f in multiple["fields"] if f["label"] == "Iterations")
    assert iterations["type"] == "integer" and iterations["range"][0] == 1


def test_status_goes_to_logging_not_stdout(doc, caplog, capfd):
    with caplog.at_level("INFO", logger="orvexbox"):
        doc.run("Loop/Std")
    assert any("80" in r.getMessage() for r in caplog.records)
    assert capfd.readouterr().out == ""


def test_two_documents_on_two_threads():
    docs = [orvexbox.open(ICOSAHEDRON) for _ in range(2)]
    errors = []

    def work(d):
        try:
            d.run("Loop/Multiple...", Iterations=4)
        except Exception as error:  # reported below
            errors.append(error)

    threads = [threading.Thread(target=work, args=(d,)) for d in docs]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert errors == []
    assert [d.objects for d in docs] == [[(8, 2562, 5120)]] * 2


def test_one_document_used_by_two_threads_at_once(doc):
    entered, release = threading.Event(), threading.Event()

    def hold(line):
        entered.set()
        release.wait(10)

    doc.on_status = hold
    worker = threading.Thread(target=doc.run, args=("Loop/Std",))
    worker.start()
    assert entered.wait(10)
    with pytest.raises(RuntimeError, match="another thread"):
        doc.objects
    release.set()
    worker.join()
    doc.on_status = None
    assert doc.objects == [(8, 42, 80)]
