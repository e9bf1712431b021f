function tests = test_tiff_stack_dims
tests = {@page_geometry, @directory_count, @no_output_variable, @tilde_path, @input_errors};
end

% Fixtures are written with imwrite into a fresh folder, removed afterwards.
function [folder, cleanup] = fixture_folder
folder = tempname();
mkdir(folder);
cleanup = onCleanup(@() remove_folder(folder));
end

function remove_folder(folder)
if exist('OCTAVE_VERSION', 'builtin')
  confirm_recursive_rmdir(false, 'local');  % Octave asks first otherwise
end
rmdir(folder, 's');
end

function path = write_stack(folder, name, pages, height, width)
path = fullfile(folder, name);
imwrite(zeros(height, width, 'uint8'), path);
for k = 2:pages
  imwrite(zeros(height, width, 'uint8'), path, 'WriteMode', 'append');
end
end

function page_geometry
[folder, cleanup] = fixture_folder();
s = tiff_stack_dims(write_stack(folder, 'page.tif', 1, 480, 640));
assert(isa(s, 'double') && isequal(size(s), [1 3]));
assert(isequal(s, [480 640 1]));
end

function directory_count
[folder, cleanup] = fixture_folder();
for pages = [2 9 65]
  assert(isequal(tiff_stack_dims(write_stack(folder, sprintf('s%d.tif', pages), pages, 3, 5)), [3 5 pages]));
end
end

function no_output_variable
[folder, cleanup] = fixture_folder();
path = write_stack(folder, 'stack.tif', 4, 2, 3);
tiff_stack_dims(path);
assert(isequal(ans, [2 3 4]));
end

function tilde_path
[folder, cleanup] = fixture_folder();
home = getenv('HOME');
restore = onCleanup(@() setenv('HOME', home));
setenv('HOME', folder);
write_stack(folder, 'stack.tif', 3, 2, 2);
assert(isequal(tiff_stack_dims('~/stack.tif'), [2 2 3]));
expect_error(@() tiff_stack_dims('~/missing.tif'), 'tiff:inputError', ...
             sprintf('File "%s" cannot be opened', fullfile(folder, 'missing.tif')));
marker = fullfile(folder, 'marker');
expect_error(@() tiff_stack_dims(['~/$(touch ' marker ')']), 'tiff:inputError', ...
             ['Path "~/$(touch ' marker ')" cannot be expanded: command substitution is not allowed']);
assert(~exist(marker, 'file'));
end

function input_errors
[folder, cleanup] = fixture_folder();
readable = write_stack(folder, 'stack.tif', 2, 1, 1);
missing = fullfile(folder, 'missing.tif');
count = 'Function only accepts one input argument';
expect_error(@() tiff_stack_dims(), 'tiff:inputError', count);
expect_error(@() tiff_stack_dims(42), 'tiff:inputError', 'The first argument must be a string');
expect_error(@() tiff_stack_dims({readable}), 'tiff:inputError', 'The first argument must be a string');
expect_error(@() tiff_stack_dims(readable, 1), 'tiff:inputError', count);
expect_error(@() tiff_stack_dims(missing, 1), 'tiff:inputError', sprintf('File "%s" cannot be opened', missing));
expect_error(@() tiff_stack_dims(missing), 'tiff:inputError', sprintf('File "%s" cannot be opened', missing));
end
